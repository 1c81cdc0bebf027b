#include "model/StoreNames.h"

#include <utility>

namespace v7300 {
namespace {

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.size() > prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

std::string EntryOwner(const std::string& entry, const TLogic& logic) {
    std::string owner;
    for (int i = 0; i < logic.Components.Count(); ++i) {
        const std::string& name = std::as_const(logic.Components).Items(i).Name;
        if (name.size() > owner.size() && startsWith(entry, "$" + name + "_")) owner = name;
    }
    return owner;
}

bool IsOutputEntry(const std::string& entry, const std::string& owner) {
    const std::string prefix = "$" + owner + "__A";
    if (!startsWith(entry, prefix)) return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i)
        if (entry[i] < '0' || entry[i] > '9') return false;
    return true;
}

std::string EntryReference(const std::string& entry, const std::string& owner) {
    const std::size_t skip = owner.size() + (IsOutputEntry(entry, owner) ? 3 : 2);
    if (owner.empty() || entry.size() <= skip) return entry;
    return owner + "." + entry.substr(skip);
}

} // namespace v7300
