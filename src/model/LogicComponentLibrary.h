#pragma once
// The component library: the definition files ("*.obj") and pictures ("*.png")
// found below the library folder, read once at start.
#include "core/Image.h"
#include "core/MessagePort.h"

#include <string>
#include <vector>

namespace v7300 {

using TBitmapList = std::vector<TExBitmap>;

struct TLogicComponentLibaryItem {
    std::string Name;               // type name: the file name up to its first "."
    std::vector<std::string> Lines; // the definition file's lines (UTF-8)
    std::string FileName;           // full path of the definition file
    TBitmapList Images;             // every "*.png" of the definition's folder
};

class TLogicComponentLibrary {
public:
    TLogicComponentLibrary() = default;
    // Loads the library; a file or picture that cannot be read is skipped with
    // one message naming it. A missing or empty folder gives an empty library.
    TLogicComponentLibrary(const std::string& folder, MessagePort& messages);
    void Load(const std::string& folder, MessagePort& messages);

    // Copy of the Lines of the first item with that name; empty when there is none.
    std::vector<std::string> GetDefinitionLines(const std::string& typeName) const;
    // The same lines without the copy; nullptr when there is no such item.
    const std::vector<std::string>* DefinitionLines(const std::string& typeName) const;
    // First image of that name in the first item of that type, or nullptr.
    const Image* GetImage(const std::string& typeName, const std::string& imageName) const;
    // The last item of that name, or nullptr.
    const TLogicComponentLibaryItem* FindItem(const std::string& typeName) const;
    int Count() const { return static_cast<int>(Items_.size()); }
    const TLogicComponentLibaryItem& Items(int index) const { return Items_.at(static_cast<std::size_t>(index)); }
    const std::string& Folder() const { return Folder_; }
    // The definition files and pictures that could not be read at the last load.
    const std::vector<std::string>& UnreadableFiles() const { return Unreadable_; }
    // For tests and tools that build a library in memory.
    void AddItem(TLogicComponentLibaryItem item) { Items_.push_back(std::move(item)); }

private:
    std::string Folder_;
    std::vector<TLogicComponentLibaryItem> Items_;
    std::vector<std::string> Unreadable_;
};

} // namespace v7300
