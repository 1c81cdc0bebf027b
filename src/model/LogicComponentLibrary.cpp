#include "model/LogicComponentLibrary.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace v7300 {
namespace fs = std::filesystem;
namespace {

std::string nameUpToFirstDot(const std::string& fileName) { return fileName.substr(0, fileName.find('.')); }

bool hasExtension(const fs::path& p, const char* ext) { return p.extension().string() == ext; }

// Entries of one folder sorted by name, so that every machine gets the same order.
std::vector<fs::directory_entry> sortedEntries(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    return entries;
}

// A real folder, whatever links lead to it.
using FolderId = std::pair<dev_t, ino_t>;

bool firstVisit(const fs::path& folder, std::set<FolderId>& visited) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return false;
    return visited.insert({st.st_dev, st.st_ino}).second;
}

// Subfolders first (depth first), then the folder's own definition files. Each
// real folder is searched once, so links to a folder above or to itself end.
void findDefinitions(const fs::path& folder, std::vector<fs::path>& out, std::set<FolderId>& visited) {
    const auto entries = sortedEntries(folder);
    std::error_code ec;
    for (const auto& e : entries)
        if (e.is_directory(ec) && firstVisit(e.path(), visited)) findDefinitions(e.path(), out, visited);
    for (const auto& e : entries)
        if (e.is_regular_file(ec) && hasExtension(e.path(), ".obj")) out.push_back(e.path());
}

} // namespace

TLogicComponentLibrary::TLogicComponentLibrary(const std::string& folder, MessagePort& messages) {
    Load(folder, messages);
}

void TLogicComponentLibrary::Load(const std::string& folder, MessagePort& messages) {
    Items_.clear();
    Unreadable_.clear();
    Folder_ = folder;
    if (!Folder_.empty() && Folder_.back() != '/') Folder_ += '/';
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return;
    std::vector<fs::path> definitions;
    std::set<FolderId> visited;
    firstVisit(fs::path(folder), visited);
    findDefinitions(fs::path(folder), definitions, visited);
    for (const auto& def : definitions) {
        TLogicComponentLibaryItem item;
        item.FileName = def.string();
        item.Name = nameUpToFirstDot(def.filename().string());
        try {
            item.Lines = splitLines(cp1252ToUtf8(readFileBytes(item.FileName)));
        } catch (const Error& e) {
            Unreadable_.push_back(item.FileName);
            messages.showError(e.what());
            continue;
        }
        for (const auto& e : sortedEntries(def.parent_path())) {
            if (!e.is_regular_file(ec) || !hasExtension(e.path(), ".png")) continue;
            try {
                TExBitmap bmp{nameUpToFirstDot(e.path().filename().string()), decodePng(e.path().string())};
                bmp.Picture.transparent = true;
                bmp.Picture.transparentColor = 0xFFFFFF;
                item.Images.push_back(std::move(bmp));
            } catch (const Error& err) {
                Unreadable_.push_back(e.path().string());
                messages.showError(err.what());
            }
        }
        Items_.push_back(std::move(item));
    }
}

std::vector<std::string> TLogicComponentLibrary::GetDefinitionLines(const std::string& typeName) const {
    const std::vector<std::string>* lines = DefinitionLines(typeName);
    return lines != nullptr ? *lines : std::vector<std::string>{};
}

const std::vector<std::string>* TLogicComponentLibrary::DefinitionLines(const std::string& typeName) const {
    for (const auto& item : Items_)
        if (item.Name == typeName) return &item.Lines;
    return nullptr;
}

const Image* TLogicComponentLibrary::GetImage(const std::string& typeName, const std::string& imageName) const {
    for (const auto& item : Items_) {
        if (item.Name != typeName) continue;
        for (const auto& bmp : item.Images)
            if (bmp.Name == imageName) return &bmp.Picture;
        return nullptr;
    }
    return nullptr;
}

const TLogicComponentLibaryItem* TLogicComponentLibrary::FindItem(const std::string& typeName) const {
    for (auto it = Items_.rbegin(); it != Items_.rend(); ++it)
        if (it->Name == typeName) return &*it;
    return nullptr;
}

} // namespace v7300
