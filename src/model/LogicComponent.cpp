#include "model/LogicComponent.h"

namespace v7300 {

TLogicComponent& TLogicComponentList::Add(TLogicComponent c) {
    Items_.push_back(std::move(c));
    Index(Items_.back().Name, Count() - 1);
    return Items_.back();
}

void TLogicComponentList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    const std::string name = Items_[static_cast<std::size_t>(index)].Name;
    Unindex(name, index);
    Items_.erase(Items_.begin() + index);
    // Everything behind the removed component moved one place forward.
    for (auto& [key, entry] : Names_)
        if (entry.first > index) --entry.first;
}

void TLogicComponentList::Clear() {
    Items_.clear();
    Names_.clear();
    DuplicateNames_ = 0;
}

void TLogicComponentList::Rename(int index, const std::string& name) {
    TLogicComponent& c = Items(index);
    if (c.Name == name) return;
    Unindex(c.Name, index);
    c.Name = name;
    Index(name, index);
}

void TLogicComponentList::Index(const std::string& name, int index) {
    auto [it, inserted] = Names_.try_emplace(name, NameEntry{index, 0});
    NameEntry& entry = it->second;
    if (!inserted && index < entry.first) entry.first = index;
    if (++entry.count == 2) ++DuplicateNames_;
}

// Takes the component at index out of the name's entry while it is still in the list.
void TLogicComponentList::Unindex(const std::string& name, int index) {
    const auto it = Names_.find(name);
    if (it == Names_.end()) return;
    NameEntry& entry = it->second;
    if (entry.count-- == 2) --DuplicateNames_;
    if (entry.count == 0) {
        Names_.erase(it);
        return;
    }
    if (entry.first != index) return;
    for (int i = index + 1; i < Count(); ++i) {
        if (Items_[static_cast<std::size_t>(i)].Name == name) {
            entry.first = i; // Delete then moves it one place forward with the rest
            return;
        }
    }
}

int TLogicComponentList::IndexOf(const std::string& name) const {
    const auto it = Names_.find(name);
    return it == Names_.end() ? -1 : it->second.first;
}

int TLogicComponentList::CountOf(const std::string& name) const {
    const auto it = Names_.find(name);
    return it == Names_.end() ? 0 : it->second.count;
}

std::string TLogicComponentList::AnyDuplicateName() const {
    if (DuplicateNames_ == 0) return {};
    for (const auto& [name, entry] : Names_)
        if (entry.count > 1) return name;
    return {};
}

std::int32_t TLogicComponentList::CountWithoutTXT() const {
    std::int32_t n = 0;
    for (const auto& c : Items_)
        if (c.TypeName != "TXT") ++n;
    return n;
}

} // namespace v7300
