#include "model/LogicComponent.h"

namespace v7300 {

TLogicComponent& TLogicComponentList::Add(TLogicComponent c) {
    TLogicComponent& added = Items_.Append(std::move(c));
    Index(added.Name, Count() - 1);
    return added;
}

void TLogicComponentList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    const std::string name = Items_.At(index).Name;
    Unindex(name, index);
    Items_.Erase(index);
    // Everything behind the removed component moved one place forward.
    for (auto& [key, entry] : OwnNames().entries)
        if (entry.first > index) --entry.first;
}

void TLogicComponentList::Clear() {
    Items_.Clear();
    Names_ = std::make_shared<NameIndex>();
}

void TLogicComponentList::Rename(int index, const std::string& name) {
    if (Items_.At(index).Name == name) return;
    Unindex(Items_.At(index).Name, index);
    Items(index).Name = name;
    Index(name, index);
}

TLogicComponentList::NameIndex& TLogicComponentList::OwnNames() {
    if (Names_.use_count() > 1) Names_ = std::make_shared<NameIndex>(*Names_);
    return *Names_;
}

void TLogicComponentList::Index(const std::string& name, int index) {
    NameIndex& names = OwnNames();
    auto [it, inserted] = names.entries.try_emplace(name, NameEntry{index, 0});
    NameEntry& entry = it->second;
    if (!inserted && index < entry.first) entry.first = index;
    if (++entry.count == 2) ++names.duplicates;
}

// Takes the component at index out of the name's entry while it is still in the list.
void TLogicComponentList::Unindex(const std::string& name, int index) {
    NameIndex& names = OwnNames();
    const auto it = names.entries.find(name);
    if (it == names.entries.end()) return;
    NameEntry& entry = it->second;
    if (entry.count-- == 2) --names.duplicates;
    if (entry.count == 0) {
        names.entries.erase(it);
        return;
    }
    if (entry.first != index) return;
    for (int i = index + 1; i < Count(); ++i) {
        if (Items_.At(i).Name == name) {
            entry.first = i; // Delete then moves it one place forward with the rest
            return;
        }
    }
}

int TLogicComponentList::IndexOf(const std::string& name) const {
    const auto it = Names_->entries.find(name);
    return it == Names_->entries.end() ? -1 : it->second.first;
}

int TLogicComponentList::CountOf(const std::string& name) const {
    const auto it = Names_->entries.find(name);
    return it == Names_->entries.end() ? 0 : it->second.count;
}

std::string TLogicComponentList::AnyDuplicateName() const {
    if (Names_->duplicates == 0) return {};
    for (const auto& [name, entry] : Names_->entries)
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
