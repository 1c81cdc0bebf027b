#include "model/LogicComponent.h"

namespace v7300 {

std::int32_t TLogicComponentList::CountWithoutTXT() const {
    std::int32_t n = 0;
    for (const auto& c : Items_)
        if (c.TypeName != "TXT") ++n;
    return n;
}

} // namespace v7300
