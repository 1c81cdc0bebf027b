#pragma once
// The program-size indicator of the toolbar without the window: on every tick of
// the device timer the diagram is compiled into a scratch image, and out come the
// caption ("12 / 100 [345 Bytes]" or "Fehler [??? Bytes]"), the colour, the
// blinking frame of an error and the text a click shows. The diagram is compiled
// only when its content changed since the last tick; an idle editor compiles nothing.
#include "model/DiagramContent.h"
#include "model/Logic.h"

#include <optional>
#include <string>

namespace v7300 {

class TProgramSizeIndicator {
public:
    // One tick; returns true when what the indicator shows changed.
    bool Tick(const TLogic& logic);

    const std::string& Caption() const { return caption_; }
    // The error of the last compilation or the limit, empty when there is none.
    const std::string& ErrorText() const { return error_; }
    bool Red() const { return red_; }
    // While the diagram cannot be compiled the frame shows, raised and sunken in turn.
    bool Framed() const { return size_ < 0; }
    bool Raised() const { return raised_; }
    // The text of the click message.
    std::string ClickMessage() const { return error_.empty() ? std::string("Keine Fehler vorhanden!") : error_; }
    // How often the diagram was compiled (for the tests of the cache).
    int Compilations() const { return compilations_; }

private:
    std::optional<TDiagramContent> compiled_;
    std::string caption_ = "0 / 100 [XXX Byte]";
    std::string error_;
    std::string compileError_;
    int size_ = 0;
    bool red_ = false;
    bool raised_ = false;
    int compilations_ = 0;
};

} // namespace v7300
