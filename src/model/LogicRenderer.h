#pragma once
// Draws the diagram document onto a Canvas: components with their pictures,
// names, captions or simulation values, pins, wires with bend points and arrow
// heads, the selection and the wire being drawn. Also the rate-limited repaint
// of the view and the picture export.
#include "core/Clock.h"
#include "core/Image.h"
#include "model/Canvas.h"
#include "model/Logic.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace v7300 {

// The colours of the diagram (0xRRGGBB).
namespace DiagramColors {
constexpr std::uint32_t Background = 0x000000;
constexpr std::uint32_t GridDot = 0xBBBBBB;
constexpr std::uint32_t Selection = 0x4444FF;
constexpr std::uint32_t Name = 0xEFEFEF;
constexpr std::uint32_t CaptionBox = 0x444444;
constexpr std::uint32_t InputPin = 0xFF2222;
constexpr std::uint32_t OutputPin = 0x22FF22;
constexpr std::uint32_t Outline = 0x000000;
constexpr std::uint32_t WireEditing = 0xFEFEFE;
constexpr std::uint32_t WireOn = 0x66FF66;
constexpr std::uint32_t WireOff = 0xFF6666;
constexpr std::uint32_t WireSelected = 0xFFFFAA;
constexpr std::uint32_t WireDragging = 0xFF0000;
constexpr std::uint32_t TxtText = 0xFFFFFF;
constexpr std::uint32_t TxtBackground = 0x000000;
constexpr std::uint32_t Forced = 0xFFD000; // a value forced in the simulation
} // namespace DiagramColors

// At most this many drawings per second; requests in between are dropped.
constexpr int kMaxPaintsPerSecond = 24;

class TLogicRenderer {
public:
    // The factory makes the off-screen canvases (a QPainter canvas in the programs).
    TLogicRenderer(TLogic& logic, Clock& clock, CanvasFactory factory);

    // Draws the whole document into the canvas, sizing it to DocSize. While the
    // simulation runs, refreshes the components' OutputStates first; sets the
    // Width and Height of TXT components after their text.
    void DrawTo(Canvas& image);
    // One wire's polyline, bend-point squares and arrow heads from the pen
    // position (the wire's output pin) to its input pin. False when the wire
    // index or its input component is invalid (nothing drawn).
    bool DrawWire(Canvas& image, int wireIndex);
    // Paints an OUT symbol (type "0" … "7") with its top-left corner at (x0, y0).
    // The colour is a decimal 24-bit value with red in the low byte; white when
    // it is no number. Only type 0 ("Text") uses the text.
    static void DrawOutSymbol(const std::string& type, const std::string& text, const std::string& colour,
                              Canvas& image, int x0 = 0, int y0 = 0);

    // Draws into the off-screen image and copies the visible part into View,
    // at most kMaxPaintsPerSecond times a second. Returns true when it drew.
    bool RePaint();
    // Copies the drawn document into View at the scroll offset and the zoom, without
    // drawing it anew (a scroll or zoom over an unchanged diagram).
    void ShowView();
    // Sets DocSize and ScrollOffset of the document and repaints.
    void Resize(TPoint size, TPoint offset);
    // A 16-bit copy of the drawn document; none (after the message) while simulating.
    std::optional<Image> Get_Bild();
    // Draws and writes a 16-bit picture: JPEG when the name ends exactly in ".jpg",
    // otherwise BMP. Raises Error when the file cannot be written (the old file stays).
    void Export_Bild(const std::string& fileName);

    // The view surface RePaint copies into (not owned; may be null), and the
    // view's refresh request.
    Canvas* View = nullptr;
    std::function<void()> OnRefresh;

    bool Painting() const { return painting_; }

private:
    std::unique_ptr<Canvas> DrawNew();
    void Report(const std::string& key, const std::string& text);

    TLogic& logic_;
    Clock& clock_;
    CanvasFactory factory_;
    std::unique_ptr<Canvas> back_; // off-screen image of RePaint, kept between drawings
    bool painting_ = false;
    bool painted_ = false;
    std::int64_t lastPaint_ = 0;
    std::set<std::string> reported_; // wires already reported as broken
};

} // namespace v7300
