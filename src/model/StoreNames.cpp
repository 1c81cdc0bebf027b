#include "model/StoreNames.h"

namespace v7300 {
namespace {

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.size() > prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

std::string EntryOwner(const std::string& entry, const TLogic& logic) {
    if (entry.size() < 3 || entry[0] != '$') return {};
    // The longest candidate first: the name before the last underscore that has text after it.
    for (std::size_t p = entry.rfind('_'); p != std::string::npos && p > 1; p = entry.rfind('_', p - 1)) {
        if (p + 1 == entry.size()) continue;
        std::string name = entry.substr(1, p - 1);
        if (logic.Components.IndexOf(name) >= 0) return name;
    }
    return {};
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
