#include "device/ProgramSizeIndicator.h"

#include "core/Error.h"
#include "device/LogicCompiler.h"
#include "device/UnitV7300EEPROMData.h"

namespace v7300 {

bool TProgramSizeIndicator::Tick(const TLogic& logic) {
    const std::string caption = caption_;
    const bool red = red_;
    const bool raised = raised_;
    if (!compiled_ || !(*compiled_ == logic.Content())) {
        TV7300_EEPROM_Data image;
        compileError_.clear();
        try {
            CreateNETIOData(logic, image);
            size_ = image.GetSize();
        } catch (const Error& e) {
            compileError_ = e.what();
            size_ = -1;
        }
        compiled_ = logic.Content();
        ++compilations_;
    }
    const int count = logic.Components.CountWithoutTXT();
    error_ = compileError_;
    red_ = size_ < 0;
    if (count > 99) {
        error_ = "Es können nur maximal 100 Bausteine benutzt werden!";
        red_ = true;
    }
    if (size_ < 0) {
        caption_ = "Fehler [??? Bytes]";
        raised_ = !raised_; // blinks at the tick rate
    } else {
        caption_ = std::to_string(count) + " / 100 [" + std::to_string(size_) + " Bytes]";
        raised_ = false;
    }
    return caption_ != caption || red_ != red || raised_ != raised;
}

} // namespace v7300
