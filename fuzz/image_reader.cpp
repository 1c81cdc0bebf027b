// Device images read back from an EEPROM file or a controller: any bytes are
// either decoded or refused with the image error, never read past their end.
#include "core/Error.h"
#include "device/ImageReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace v7300;
    try {
        const TDeviceImage image = ReadDeviceImage(data, size);
        if (image.Size > size) __builtin_trap();
        for (const auto& o : image.Objects)
            if (o.Offset >= image.Size || DeviceTypeFamily(o.TypeCode).empty()) __builtin_trap();
        for (const auto& e : image.Entries)
            if (e.Page > 5 || e.Slot > 7) __builtin_trap();
    } catch (const Error&) {
    }
    return 0;
}
