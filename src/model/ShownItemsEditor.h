#pragma once
// The logic of the display-text editor "Anzeige Texte" without any window: the
// list of selectable outputs, the six page tabs, the eight slots per page with
// their icon, text and page-name buttons. It works on the document's pages in
// place, so every change is a change of the document at once.
//
// An entry placed from one list item into several slots is one entry: its
// slots carry the same entry id, and a text typed in one of them is the text
// of all of them.
#include "model/Logic.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

constexpr std::size_t kShownTextLength = 8; // page names and entry texts, Windows-1252 characters

struct TShownListItem {
    TOutputs Entry;      // component, output, "???"; its id once placed
    std::string Display; // "AND1 [1]"
    std::string TypeName;
};

// One item per output of every component, in component order, then sorted by
// the display text without regard to case (IN10 [1] before IN2 [1]).
std::vector<TShownListItem> ShownListItems(const TLogicComponentList& components);

// Gives the entries of pages read from a file their ids: slots with the same
// component, output and text share one entry (the file keeps no more than that).
void LinkShownEntries(std::array<TShownOutput, 6>& pages);

// "AND1 [1]": the component and the 1-based output of an entry.
std::string ShownEntryInfo(const TOutputs& entry);

class TShownItemsEditor {
public:
    TShownItemsEditor(std::array<TShownOutput, 6>& pages, const TLogicComponentList& components);

    const std::vector<TShownListItem>& Items() const { return items_; }
    int SelectedItem() const { return selected_; }
    void SelectItem(int item); // -1: none
    int Tab() const { return tab_; }
    void ChooseTab(int tab); // 0 … 5

    // The icon button of a slot on the chosen page: an empty slot takes the
    // selected list item (nothing without a selection); a filled one is emptied.
    void ClickSlot(int slot);
    // The text button enables the slot's text field; leaving the field makes
    // its content the entry's text (discarded for an empty slot).
    void BeginText(int slot);
    void EndText(int slot, const std::string& text);
    // The page-name button enables the field; leaving it names the chosen page.
    void BeginPageName();
    void EndPageName(const std::string& name);

    struct TSlotView {
        bool Filled = false;
        std::string Text;
        std::string Info; // "AND1 [1]"
        bool TextEnabled = false;
    };
    struct TView {
        std::string PageName;
        bool PageNameEnabled = false;
        std::array<TSlotView, 8> Slots;
    };
    TView View() const;

private:
    std::uint32_t NextId() const;
    void SetEntryText(std::uint32_t id, const std::string& text);

    std::array<TShownOutput, 6>& pages_;
    std::vector<TShownListItem> items_;
    int selected_ = -1;
    int tab_ = 0;
    int editingSlot_ = -1;
    bool editingName_ = false;
};

} // namespace v7300
