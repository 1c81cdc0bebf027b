#include "model/LogicRenderer.h"

#include "core/BmpWriter.h"
#include "core/FileIO.h"
#include "core/JpegWriter.h"
#include "core/NumberFormat.h"
#include "model/StoreNames.h"
#include "model/TypeCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace v7300 {
namespace {

namespace C = DiagramColors;

constexpr double kMinPaintIntervalMs = 1000.0 / kMaxPaintsPerSecond;
constexpr int kShownOutputs = 8;
constexpr int kPinDot = 3;       // pin dots: ±3 pixels
constexpr int kPinHover = 5;     // the dot under the mouse: ±5 pixels, within less than 5 pixels
constexpr int kCaptionHeight = 14;
constexpr int kCaptionPitch = 13;
constexpr int kCaptionMargin = 4;
constexpr int kShowPitch = 12;
constexpr int kTxtHeight = 15;

// The simulation's state of an output: off for "0" and "nil", on for anything else.
bool OutputOn(const TSimulationState& sim, const std::string& name, int n) {
    const std::string v = sim.GetVariable("$" + name + "__A" + std::to_string(n));
    return v != "0" && v != "nil";
}

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t pos = 0; (pos = s.find(from, pos)) != std::string::npos; pos += to.size())
        s.replace(pos, from.size(), to);
    return s;
}

// The forced entries of a running simulation by component: the output numbers
// (0 for a forced variable).
std::map<std::string, std::set<int>> ForcedByComponent(const TLogic& L) {
    std::map<std::string, std::set<int>> forced;
    for (const std::string& entry : L.Simulation->ForcedNames()) {
        const std::string owner = EntryOwner(entry, L);
        if (owner.empty()) continue;
        const bool output = IsOutputEntry(entry, owner);
        forced[owner].insert(output ? std::atoi(entry.c_str() + owner.size() + 4) : 0);
    }
    return forced;
}

// A forced component: a yellow frame, an "F" at its top right corner and a
// yellow dot on each forced output.
void DrawForcedMarker(Canvas& image, const TLogicComponent& c, const std::set<int>& outputs) {
    const int x0 = c.Left * kGrid;
    const int y0 = c.Top * kGrid;
    const int x1 = (c.Left + c.Width) * kGrid;
    const int y1 = (c.Top + c.Height) * kGrid;
    image.SetPen({C::Forced, 2, false});
    image.SetBrush({C::Forced, false});
    image.Rectangle(x0 - 3, y0 - 3, x1 + 3, y1 + 3);
    // The badge stands above the frame's right corner, clear of the name at the left.
    const TTextSize f = image.TextExtent(TCanvasFont::Name, "F");
    image.FillRect(x1 - f.Width - 5, y0 - f.Height - 7, x1 + 3, y0 - 3, C::Forced);
    image.TextOut(x1 - f.Width - 1, y0 - f.Height - 5, "F", TCanvasFont::Name, C::Outline);
    image.SetPen({C::Outline, 1, false});
    image.SetBrush({C::Forced, true});
    for (int n : outputs)
        if (n >= 1 && n <= c.OutputCount) {
            const TPinPos p = c.OutputPixel(n - 1);
            image.Ellipse(p.x - kPinHover, p.y - kPinHover, p.x + kPinHover, p.y + kPinHover);
        }
}

std::string VarValue(const TLogicComponent& c, const std::string& name) {
    const auto* v = c.Variables.FindByName(name);
    return v != nullptr ? v->GetValue() : std::string();
}

// WEEKTIMER times HHMMSS shown as HH:MM:SS.
std::string AsClockTime(const std::string& v) {
    auto part = [&v](std::size_t from) { return from < v.size() ? v.substr(from, 2) : std::string(); };
    return part(0) + ":" + part(2) + ":" + part(4);
}

SpecialDrawing DrawingOf(const TLogicComponent& c) {
    const auto* entry = FindCatalogueEntry(c.TypeName);
    return entry != nullptr ? entry->drawing : SpecialDrawing::None;
}

// Reads a decimal 24-bit colour with red in the low byte; white when it is no number.
std::uint32_t ColourOf(const std::string& text) {
    const auto n = parseInt32(trimBlanks(text));
    if (!n) return 0xFFFFFF;
    const auto v = static_cast<std::uint32_t>(*n);
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

} // namespace

TLogicRenderer::TLogicRenderer(TLogic& logic, Clock& clock, CanvasFactory factory)
    : logic_(logic), clock_(clock), factory_(std::move(factory)) {}

void TLogicRenderer::Report(const std::string& key, const std::string& text) {
    // Drawing runs several times a second: each broken wire is reported once.
    if (reported_.insert(key).second) logic_.Messages.showPlain(text);
}

void TLogicRenderer::DrawOutSymbol(const std::string& type, const std::string& text, const std::string& colour,
                                   Canvas& image, int x0, int y0) {
    const std::uint32_t col = ColourOf(colour);
    const int kind = parseInt32(trimBlanks(type)).value_or(0);
    image.SetBrush({col, false});
    auto line = [&](int x1, int y1, int x2, int y2) {
        image.MoveTo(x0 + x1, y0 + y1);
        image.LineTo(x0 + x2, y0 + y2);
    };
    switch (kind) {
    case 0: {
        const TTextSize size = image.TextExtent(TCanvasFont::NameBold, text);
        image.TextOut(x0 + (51 - size.Width) / 2, y0 + (30 - size.Height) / 2, text, TCanvasFont::NameBold, col);
        break;
    }
    case 1:
    case 2:
        image.SetPen({0x000000, 1, false});
        image.SetBrush({col, true});
        image.Ellipse(x0 + 15, y0 + 5, x0 + 35, y0 + 25);
        if (kind == 2) {
            image.SetPen({0x000000, 2, false});
            line(18, 8, 32, 22);
            line(32, 8, 18, 22);
            image.SetPen({0x000000, 1, false});
        }
        break;
    case 3:
        image.SetPen({col, 1, false});
        line(10, 15, 40, 15);
        line(20, 7, 20, 23);
        line(20, 7, 30, 15);
        line(20, 23, 30, 15);
        line(30, 7, 30, 23);
        break;
    case 4:
        image.SetPen({col, 2, false});
        line(25, 7, 25, 23);
        line(25, 7, 35, 15);
        line(25, 23, 35, 15);
        line(25, 12, 15, 12);
        line(25, 18, 15, 18);
        image.SetPen({col, 1, false});
        break;
    case 5:
        image.SetPen({col, 1, false});
        image.SetBrush({col, true});
        image.Rectangle(x0 + 20, y0 + 10, x0 + 40, y0 + 20);
        line(10, 15, 20, 15);
        break;
    case 6:
        image.SetPen({col, 1, false});
        image.SetBrush({col, true});
        image.Rectangle(x0 + 17, y0 + 10, x0 + 33, y0 + 20);
        line(10, 15, 40, 15);
        break;
    case 7:
        image.SetPen({col, 1, false});
        image.SetBrush({col, true});
        image.Polyline({{x0 + 10, y0 + 20},
                        {x0 + 15, y0 + 20},
                        {x0 + 15, y0 + 10},
                        {x0 + 35, y0 + 10},
                        {x0 + 35, y0 + 20},
                        {x0 + 40, y0 + 20}});
        break;
    default:
        break;
    }
}

bool TLogicRenderer::DrawWire(Canvas& image, int wireIndex) {
    if (wireIndex < 0 || wireIndex >= logic_.Wires.Count()) return false;
    const TLogic& L = logic_;
    const TWire& w = L.Wires.Items(wireIndex);
    const TLogicComponent* in = L.FindComponent(w.Input);
    if (in == nullptr || w.InputID < 0 || w.InputID >= kMaxPins) return false;
    const TCanvasPoint start = image.PenPos();
    const int xo = start.X;
    const int yo = start.Y;
    image.MoveTo(xo + 3, yo + 4);
    image.LineTo(xo + 7, yo);
    image.LineTo(xo + 3, yo - 4);
    image.MoveTo(xo, yo);
    for (const auto& p : w.Points) {
        image.LineTo(p.X, p.Y);
        image.Rectangle(p.X - 3, p.Y - 3, p.X + 3, p.Y + 3);
    }
    const TPinPos pin = in->InputPixel(w.InputID);
    const int xi = pin.x;
    const int yi = pin.y;
    image.LineTo(xi, yi);
    image.MoveTo(xi - 3, yi);
    image.LineTo(xi - 7, yi - 4);
    image.MoveTo(xi - 3, yi);
    image.LineTo(xi - 7, yi + 4);
    return true;
}

void TLogicRenderer::DrawTo(Canvas& image) {
    const TLogic& L = logic_;
    const bool sim = L.Simulating();
    std::map<std::string, std::set<int>> forced;
    if (sim) {
        forced = ForcedByComponent(L);
        // Written only where a state changed: the components stay shared with the undo history.
        for (int i = 0; i < L.Components.Count(); ++i) {
            const TLogicComponent& c = L.Components.Items(i);
            std::array<std::uint8_t, kMaxPins> states = c.OutputStates;
            for (int j = 1; j <= kShownOutputs; ++j)
                states[static_cast<std::size_t>(j - 1)] = OutputOn(*L.Simulation, c.Name, j) ? 1 : 0;
            if (states != c.OutputStates) logic_.Components.Items(i).OutputStates = states;
        }
    }

    const int docW = L.DocSize.x > 0 ? L.DocSize.x : 0;
    const int docH = L.DocSize.y > 0 ? L.DocSize.y : 0;
    if (image.Width() != docW || image.Height() != docH) image.SetSize(docW, docH);
    image.ClearClip();
    image.Fill(C::Background);

    if (L.Raster) {
        const auto nx = roundHalfEven(docW / 10.0);
        const auto ny = roundHalfEven(docH / 10.0);
        std::vector<TCanvasPoint> dots;
        dots.reserve(static_cast<std::size_t>((nx + 1) * (ny + 1)));
        for (std::int64_t a = 0; a <= nx; ++a)
            for (std::int64_t b = 0; b <= ny; ++b)
                if (a * 10 < docW && b * 10 < docH)
                    dots.push_back({static_cast<int>(a * 10), static_cast<int>(b * 10)});
        image.Pixels(dots, C::GridDot);
    }

    // A TXT label takes its size from its text (written only where it changed,
    // so that the components stay shared with the undo history).
    for (int index = 0; index < L.Components.Count(); ++index) {
        const TLogicComponent& c = L.Components.Items(index);
        if (DrawingOf(c) != SpecialDrawing::Txt) continue;
        const TTextSize size = image.TextExtent(TCanvasFont::TextBold, VarValue(c, "TEXT"));
        const auto width = static_cast<std::int32_t>(roundHalfEven(size.Width / 10.0 + 0.5));
        if (c.Height == 2 && c.Width == width) continue;
        TLogicComponent& label = logic_.Components.Items(index);
        label.Height = 2;
        label.Width = width;
    }

    const TCanvasPen blackPen{C::Outline, 1, false};
    image.SetPen(blackPen);
    for (int index = 0; index < L.Components.Count(); ++index) {
        const TLogicComponent& c = L.Components.Items(index);
        const int x0 = c.Left * kGrid;
        const int y0 = c.Top * kGrid;

        if (!sim && L.IsSelected(c.Name)) {
            image.SetPen({C::Selection, 1, true});
            image.SetBrush({C::Selection, false});
            image.Rectangle(x0 - 5, y0 - 15, (c.Left + c.Width) * kGrid + 5, (c.Top + c.Height) * kGrid + 5);
            image.SetPen(blackPen);
        }

        const SpecialDrawing kind = DrawingOf(c);
        const Image* picture = nullptr;
        switch (kind) {
        case SpecialDrawing::In: {
            const auto* typeVar = c.Variables.FindByName("TYPE");
            std::string name = "IN" + (typeVar != nullptr ? typeVar->GetValue() : std::string());
            if (sim && c.OutputStates[0] == 1) name += "_";
            picture = L.Library.GetImage(c.TypeName, name);
            if (picture == nullptr) picture = L.Library.GetImage(c.TypeName, "IN");
            break;
        }
        case SpecialDrawing::Out:
            picture = L.Library.GetImage(c.TypeName, "OUT");
            break;
        case SpecialDrawing::Txt:
            break;
        case SpecialDrawing::None:
            picture = L.Library.GetImage(c.TypeName, c.TypeName);
            break;
        }

        if (kind == SpecialDrawing::Txt) {
            const std::string text = VarValue(c, "TEXT");
            const TTextSize size = image.TextExtent(TCanvasFont::TextBold, text);
            if (size.Width > 0) {
                image.FillRect(x0, y0, x0 + size.Width, y0 + kTxtHeight, C::TxtBackground);
                image.SetClip(x0, y0, x0 + size.Width, y0 + kTxtHeight);
                image.TextOut(x0, y0, text, TCanvasFont::TextBold, C::TxtText);
                image.ClearClip();
            }

        } else if (picture != nullptr && !picture->empty()) {
            image.DrawImage(x0, y0, *picture);
            if (kind == SpecialDrawing::Out) {
                const bool on = sim && c.OutputStates[0] == 1;
                image.SetClip(x0, y0, x0 + picture->width, y0 + picture->height);
                DrawOutSymbol(VarValue(c, "TYPE"), VarValue(c, on ? "TXT2" : "TXT1"),
                              VarValue(c, on ? "COL2" : "COL1"), image, x0, y0);
                image.ClearClip();
                image.SetPen(blackPen);
            }
        }

        // A TXT label has just been given its size: values and captions go below it.
        const int bottom = (c.Top + c.Height) * kGrid;
        if (kind != SpecialDrawing::Txt) image.TextOut(x0, y0 - 13, c.Name, TCanvasFont::Name, C::Name);

        if (sim && !c.ShowRefs.empty()) {
            for (std::size_t n = 0; n < c.ShowRefs.size(); ++n) {
                const std::string value = L.Simulation->GetVariable(ReplaceAll(c.ShowRefs[n], "$", "$" + c.Name + "_"));
                const std::string caption = n < c.ShowCaptions.size() ? c.ShowCaptions[n] : std::string();
                const std::string text = caption.empty() ? value : caption + ": " + value;
                image.TextOut(x0, bottom + kShowPitch * static_cast<int>(n) + 2, text, TCanvasFont::Name, C::Name,
                              true, C::CaptionBox);
            }
        } else if (L.ShowInfo && c.Variables.Count() > 0) {
            const bool weektimer = c.TypeName == "WEEKTIMER";
            const int count = std::min(c.Variables.Count(), static_cast<int>(c.VarNames.size()));
            for (int n = 0; n < count; ++n) {
                const auto& var = c.Variables.Items(n);
                const std::string value = weektimer ? AsClockTime(var.GetValue()) : DisplayForm(var);
                const std::string& caption = c.VarNames[static_cast<std::size_t>(n)];
                const std::string text = caption.empty() ? value : caption + ": " + value;
                const int tw = image.TextExtent(TCanvasFont::Caption, text).Width;
                int left = x0 + static_cast<int>(roundHalfEven((c.Width * kGrid - tw) / 2.0)) - kCaptionMargin;
                int boxRight = left + kCaptionMargin + tw + kCaptionMargin;
                if (left < 0) {
                    boxRight -= left;
                    left = 0;
                }
                if (boxRight > docW) {
                    left -= boxRight - docW;
                    boxRight = docW;
                }
                const int top = bottom + kCaptionPitch * n - 1;
                image.SetPen(blackPen);
                image.SetBrush({C::CaptionBox, true});
                image.Rectangle(left, top, boxRight, top + kCaptionHeight);
                image.TextOut(left + 1, top, text, TCanvasFont::Caption, C::Name);
            }
        }

        if (!sim) {
            auto pinDot = [&](TPinPos p, std::uint32_t colour) {
                image.SetPen(blackPen);
                image.SetBrush({colour, true});
                image.Ellipse(p.x - kPinDot, p.y - kPinDot, p.x + kPinDot, p.y + kPinDot);
                if (std::abs(L.MousePos.x - p.x) < kPinHover && std::abs(L.MousePos.y - p.y) < kPinHover)
                    image.Ellipse(p.x - kPinHover, p.y - kPinHover, p.x + kPinHover, p.y + kPinHover);
            };
            for (int i = 0; i < kMaxPins; ++i) {
                if (i < c.InputCount) pinDot(c.InputPixel(i), C::InputPin);
                if (i < c.OutputCount) pinDot(c.OutputPixel(i), C::OutputPin);
            }
        } else if (const auto f = forced.find(c.Name); f != forced.end()) {
            DrawForcedMarker(image, c, f->second);
        }
    }

    // Wires find their components by name; of a name used twice (only files hold
    // such), the first is drawn and the duplicate reported.
    const std::string duplicate = L.Components.AnyDuplicateName();
    if (!duplicate.empty()) Report("D" + duplicate, "Objekt-ID doppelt vergeben!");
    auto find = [&L](const std::string& name) { return std::as_const(L).FindComponent(name); };
    auto wireKey = [](const TWire& w) {
        return w.Output + "\n" + std::to_string(w.OutputID) + "\n" + w.Input + "\n" + std::to_string(w.InputID);
    };

    image.SetBrush({C::WireEditing, false});
    for (int i = 0; i < L.Wires.Count(); ++i) {
        const TWire& w = L.Wires.Items(i);
        const TLogicComponent* out = find(w.Output);
        if (out == nullptr || w.OutputID < 0 || w.OutputID >= kMaxPins) {
            Report("O" + wireKey(w), "Falscher Verbinder [" + w.Output + "]");
            continue;
        }
        if (sim) {
            const bool on = out->OutputStates[static_cast<std::size_t>(w.OutputID)] != 0;
            image.SetPen({on ? C::WireOn : C::WireOff, 2, false});
        } else {
            image.SetPen({C::WireEditing, 1, false});
        }
        image.SetBrush({C::WireEditing, false});
        const TPinPos from = out->OutputPixel(w.OutputID);
        image.MoveTo(from.x, from.y);
        if (find(w.Input) == nullptr) {
            Report("I" + wireKey(w), "Falscher Verbinder [" + w.Input + "] \r\nZielobjekt nicht gefunden.");
            continue;
        }
        DrawWire(image, i);
    }
    // Black again after the wires (not after each one: the next wire sets its own pen).
    image.SetPen(blackPen);

    if (L.SelectedWire >= 0 && L.SelectedWire < L.Wires.Count()) {
        const TWire& w = L.Wires.Items(L.SelectedWire);
        const TLogicComponent* out = find(w.Output);
        if (out != nullptr && w.OutputID >= 0 && w.OutputID < kMaxPins) {
            const TPinPos from = out->OutputPixel(w.OutputID);
            image.MoveTo(from.x, from.y);
            image.SetPen({C::WireSelected, 2, false});
            image.SetBrush({C::WireSelected, false});
            DrawWire(image, L.SelectedWire);
            image.SetPen(blackPen);
        }
    }

    if (L.Dragging) {
        image.SetPen({C::WireDragging, 1, true});
        image.SetBrush({C::WireDragging, false});
        image.MoveTo(L.MousePos.x, L.MousePos.y);
        image.LineTo(L.DragStart.X, L.DragStart.Y);
        image.SetPen(blackPen);
    }

    if (L.RubberBandShown) {
        const TRect& r = L.RubberBand;
        image.SetPen({C::Selection, 1, true});
        image.SetBrush({C::Selection, false});
        image.Rectangle(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right) + 1,
                        std::max(r.Top, r.Bottom) + 1);
        image.SetPen(blackPen);
    }
}

bool TLogicRenderer::RePaint() {
    const std::int64_t now = clock_.monotonicMs();
    if (painted_ && static_cast<double>(now - lastPaint_) < kMinPaintIntervalMs) return false;
    bool drew = false;
    if (!painting_) {
        struct Guard {
            bool& flag;
            explicit Guard(bool& f) : flag(f) { flag = true; }
            ~Guard() { flag = false; }
        } guard(painting_);
        if (!back_) back_ = factory_();
        DrawTo(*back_);
        ShowView();
        lastPaint_ = clock_.monotonicMs();
        painted_ = true;
        drew = true;
    }
    if (OnRefresh) OnRefresh();
    return drew;
}

void TLogicRenderer::ShowView() {
    if (View == nullptr || !back_) return;
    View->ClearClip();
    View->Fill(C::Background);
    if (logic_.Zoom == 1.0) {
        View->DrawCanvas(logic_.ViewOrigin.x, logic_.ViewOrigin.y, *back_, logic_.ScrollOffset.x,
                         logic_.ScrollOffset.y, logic_.DocSize.x, logic_.DocSize.y);
    } else {
        // The scroll offset counts view pixels; the part of the document they show, scaled.
        const double z = logic_.Zoom;
        View->DrawCanvasScaled(logic_.ViewOrigin.x, logic_.ViewOrigin.y, View->Width(), View->Height(), *back_,
                               static_cast<int>(logic_.ScrollOffset.x / z),
                               static_cast<int>(logic_.ScrollOffset.y / z),
                               static_cast<int>(std::ceil(View->Width() / z)),
                               static_cast<int>(std::ceil(View->Height() / z)));
    }
    View->Flush();
}

void TLogicRenderer::Resize(TPoint size, TPoint offset) {
    logic_.DocSize = size;
    logic_.ScrollOffset = offset;
    RePaint();
}

std::unique_ptr<Canvas> TLogicRenderer::DrawNew() {
    auto canvas = factory_();
    DrawTo(*canvas);
    return canvas;
}

std::optional<Image> TLogicRenderer::Get_Bild() {
    if (logic_.Simulating()) {
        logic_.Messages.showPlain("Während der Simulation kann nicht gedruckt werden.");
        return std::nullopt;
    }
    return to16Bit(DrawNew()->ToImage());
}

void TLogicRenderer::Export_Bild(const std::string& fileName) {
    const Image picture = to16Bit(DrawNew()->ToImage());
    const std::string name = fileNameOf(fileName);
    const auto dot = name.find_last_of('.');
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    if (ext == ".jpg")
        writeJpeg(fileName, picture);
    else
        writeBmp16(fileName, picture);
}

} // namespace v7300
