#include "model/ShownItemsEditor.h"

#include "core/TextCodec.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace v7300 {
namespace {

std::string folded(const std::string& text) {
    std::string s = utf8ToCp1252(text);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string cut(const std::string& text) { return cp1252Left(text, kShownTextLength); }

} // namespace

std::string ShownEntryInfo(const TOutputs& entry) {
    return entry.component + " [" + std::to_string(static_cast<std::int64_t>(entry.output) + 1) + "]";
}

std::vector<TShownListItem> ShownListItems(const TLogicComponentList& components) {
    std::vector<TShownListItem> items;
    for (const TLogicComponent& c : components)
        for (int n = 0; n < c.OutputCount; ++n) {
            TShownListItem item;
            item.Entry.component = c.Name;
            item.Entry.output = n;
            item.Display = ShownEntryInfo(item.Entry);
            item.TypeName = c.TypeName;
            items.push_back(std::move(item));
        }
    std::stable_sort(items.begin(), items.end(), [](const TShownListItem& a, const TShownListItem& b) {
        return folded(a.Display) < folded(b.Display);
    });
    return items;
}

void LinkShownEntries(std::array<TShownOutput, 6>& pages) {
    std::map<std::tuple<std::string, std::int32_t, std::string>, std::uint32_t> ids;
    for (auto& page : pages)
        for (auto& slot : page.slots) {
            if (!slot) continue;
            const auto key = std::make_tuple(slot->component, slot->output, slot->text);
            const auto [it, added] = ids.emplace(key, static_cast<std::uint32_t>(ids.size() + 1));
            slot->id = it->second;
        }
}

TShownItemsEditor::TShownItemsEditor(std::array<TShownOutput, 6>& pages, const TLogicComponentList& components)
    : pages_(pages), items_(ShownListItems(components)) {}

void TShownItemsEditor::SelectItem(int item) {
    selected_ = item >= 0 && item < static_cast<int>(items_.size()) ? item : -1;
}

void TShownItemsEditor::ChooseTab(int tab) {
    if (tab < 0 || tab >= static_cast<int>(pages_.size())) return;
    tab_ = tab;
    editingSlot_ = -1;
    editingName_ = false;
}

std::uint32_t TShownItemsEditor::NextId() const {
    std::uint32_t last = 0;
    for (const auto& page : pages_)
        for (const auto& slot : page.slots)
            if (slot) last = std::max(last, slot->id);
    for (const auto& item : items_) last = std::max(last, item.Entry.id);
    return last + 1;
}

void TShownItemsEditor::ClickSlot(int slot) {
    if (slot < 0 || slot >= 8) return;
    auto& target = pages_[static_cast<std::size_t>(tab_)].slots[static_cast<std::size_t>(slot)];
    if (target) {
        target.reset();
    } else if (selected_ >= 0) {
        TOutputs& entry = items_[static_cast<std::size_t>(selected_)].Entry;
        if (entry.id == 0) entry.id = NextId();
        target = entry;
    }
    if (editingSlot_ == slot) editingSlot_ = -1;
}

void TShownItemsEditor::BeginText(int slot) {
    if (slot < 0 || slot >= 8) return;
    editingSlot_ = slot;
}

void TShownItemsEditor::EndText(int slot, const std::string& text) {
    if (slot < 0 || slot >= 8) return;
    if (editingSlot_ == slot) editingSlot_ = -1;
    auto& entry = pages_[static_cast<std::size_t>(tab_)].slots[static_cast<std::size_t>(slot)];
    if (!entry) return; // the text of an empty slot is discarded
    if (entry->id == 0)
        entry->text = cut(text);
    else
        SetEntryText(entry->id, cut(text));
}

void TShownItemsEditor::SetEntryText(std::uint32_t id, const std::string& text) {
    for (auto& page : pages_)
        for (auto& slot : page.slots)
            if (slot && slot->id == id) slot->text = text;
    for (auto& item : items_)
        if (item.Entry.id == id) item.Entry.text = text;
}

void TShownItemsEditor::BeginPageName() { editingName_ = true; }

void TShownItemsEditor::EndPageName(const std::string& name) {
    editingName_ = false;
    pages_[static_cast<std::size_t>(tab_)].name = cut(name);
}

TShownItemsEditor::TView TShownItemsEditor::View() const {
    TView v;
    const TShownOutput& page = pages_[static_cast<std::size_t>(tab_)];
    v.PageName = page.name;
    v.PageNameEnabled = editingName_;
    for (std::size_t i = 0; i < 8; ++i) {
        auto& s = v.Slots[i];
        s.TextEnabled = editingSlot_ == static_cast<int>(i);
        if (!page.slots[i]) continue;
        s.Filled = true;
        s.Text = page.slots[i]->text;
        s.Info = ShownEntryInfo(*page.slots[i]);
    }
    return v;
}

} // namespace v7300
