#include "model/Logic.h"

#include "core/Error.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <utility>

namespace v7300 {

TLogic::TLogic(const std::string& libraryFolder, MessagePort& messages)
    : Library(libraryFolder, messages), Messages(messages) {}

TLogic::TLogic(TLogicComponentLibrary library, MessagePort& messages)
    : Library(std::move(library)), Messages(messages) {}

void TLogic::ClearComponents() { Components.Clear(); }

void TLogic::Init() {
    ClearComponents();
    Initialised = true;
    Wires.Clear();
    Redraw();
}

void TLogic::SetContent(const TDiagramContent& content) {
    static_cast<TDiagramContent&>(*this) = content;
    PruneSelection();
    Dragging = false;
    Redraw();
}

bool TLogic::SetDeviceAddress(const std::string& address) {
    if (DeviceAddress == address) return false;
    DeviceAddress = address;
    return true;
}

void TLogic::SetDefaultOptions() {
    Quarz = 16000000;
    DeviceModel = "V7300-NET-IO";
    NetioActive = false;
    NetioHost = "192.168.0.91";
    NetioPort = 64400;
    NetioDelay = 5;
    NetioDisplay = false;
    LptActive = false;
    LptAddress = 888;
}

void TLogic::NewProject() {
    SetDefaultOptions();
    Init();
}

// ---------------------------------------------------------------- lookups

std::int32_t TLogic::get_objekt_id(const std::string& name, bool skipTXT) const {
    if (Components.CountOf(name) > 1) throw Error("Objekt-ID doppelt vergeben!");
    const int index = Components.IndexOf(name);
    if (index < 0 || !skipTXT) return index;
    std::int32_t counted = 0;
    for (int i = 0; i < index; ++i)
        if (Components.Items(i).TypeName != "TXT") ++counted;
    return counted;
}

std::string TLogic::GetObjectNameByID(std::int32_t index) const {
    if (index < 0 || index >= Components.Count()) return "";
    return Components.Items(index).Name;
}

bool TLogic::IsInputConnected(const std::string& name, std::int32_t inputIndex) const {
    return std::any_of(Wires.begin(), Wires.end(),
                       [&](const TWire& w) { return w.Input == name && w.InputID == inputIndex; });
}

bool TLogic::Simulating() const { return Simulation != nullptr && Simulation->Running(); }

TLogicComponent* TLogic::FindComponent(const std::string& name) {
    const int index = Components.IndexOf(name);
    return index < 0 ? nullptr : &Components.Items(index);
}

const TLogicComponent* TLogic::FindComponent(const std::string& name) const {
    const int index = Components.IndexOf(name);
    return index < 0 ? nullptr : &Components.Items(index);
}

// ---------------------------------------------------------------- placing

int TLogic::Add_objekt(const std::string& typeName, const std::string& instanceName, std::int32_t left,
                       std::int32_t top) {
    if (Simulating()) {
        Messages.showPlain("Es kann kein Objekt hinzugefügt werden so lange der Simulator aktiviert ist.");
        return -1;
    }
    const TObjDefinition* found = VerifiedDefinition(typeName);
    if (found == nullptr) {
        Messages.showPlain("Der Baustein " + typeName + " konnte nicht gefunden werden!");
        return -1;
    }
    const TObjDefinition& def = *found;

    const int index = add(def.Width, def.Height, typeName, instanceName, left == 0 ? 7 : left, top == 0 ? 3 : top,
                          def.NamePrefix, def.ScriptLines, def.OutputCount, def.InputCount);
    if (index < 0) return -1;
    // The component is in the list now; a failing "-VARS" line below leaves it
    // there with the variables made so far and without captions.
    {
        TLogicComponent& c = Components.Items(index);
        for (const auto& line : def.ShowLines) {
            const TShowEntry entry = MakeShowEntry(line, c.Name);
            c.ShowRefs.push_back(entry.Reference);
            c.ShowCaptions.push_back(entry.Caption);
        }
    }
    for (const auto& line : def.VarLines) {
        const TVarDeclaration d = SplitVarLine(line);
        Components.Items(index).Variables.Add(TLogicComponentDefine::Create(d.Name, d.Default, d.Keyword));
    }
    for (const auto& caption : def.VarNames) Components.Items(index).VarNames.push_back(caption);
    Redraw();
    return index;
}

const TObjDefinition* TLogic::VerifiedDefinition(const std::string& typeName) {
    const std::vector<std::string>* libraryLines = Library.DefinitionLines(typeName);
    if (libraryLines == nullptr || libraryLines->empty()) return nullptr;
    const auto cached = parsed_.find(typeName);
    if (cached != parsed_.end() && cached->second.lines == *libraryLines) return &cached->second.definition;
    std::vector<std::string> lines = *libraryLines;
    const bool signedRight = VerifyAndStripChecksum(lines, typeName, Library, Messages);
    TObjDefinition def = ParseDefinitionBody(std::move(lines), typeName);
    // A definition with a wrong checksum is verified (and reported) again at every placement.
    if (!signedRight) {
        parsed_.erase(typeName);
        lastUnsigned_ = std::move(def);
        return &lastUnsigned_;
    }
    ParsedDefinition& entry = parsed_[typeName];
    entry.lines = *libraryLines;
    entry.definition = std::move(def);
    return &entry.definition;
}

int TLogic::add(std::int32_t width, std::int32_t height, const std::string& typeName,
                const std::string& instanceName, std::int32_t left, std::int32_t top, const std::string& namePrefix,
                const std::vector<std::string>& scriptLines, int outputCount, int inputCount) {
    if (!Initialised || Simulating()) return -1;
    TLogicComponent c;
    c.ScriptLines = scriptLines;
    c.TypeName = typeName;
    if (!instanceName.empty()) {
        c.Name = instanceName;
    } else {
        for (int n = 1;; ++n) {
            const std::string candidate = namePrefix + std::to_string(n);
            if (get_objekt_id(candidate, false) < 0) {
                c.Name = candidate;
                break;
            }
        }
    }
    c.Width = width;
    c.Height = height;
    c.InputCount = static_cast<std::uint8_t>(std::clamp(inputCount, 0, kMaxPins));
    c.OutputCount = static_cast<std::uint8_t>(std::clamp(outputCount, 0, kMaxPins));
    c.Left = left;
    c.Top = top;
    for (int i = 0; i < c.InputCount; ++i) c.InputPins[i] = {0, i + 1};
    for (int k = 0; k < c.OutputCount; ++k) c.OutputPins[k] = {width, k + 1};
    Components.Add(std::move(c));
    return Components.Count() - 1;
}

// ---------------------------------------------------------------- connecting

std::int32_t TLogic::add_verbinder(const std::string& outputName, std::int32_t outputIndex, std::int32_t inputIndex,
                                   const std::string& inputName) {
    if (!Initialised) return -1;
    if (IsInputConnected(inputName, inputIndex)) {
        Messages.showPlain("Es kann zu jedem Eingang nur eine Verbindung gebaut werden.");
        Redraw();
        return -1;
    }
    const std::int32_t oi = get_objekt_id(outputName, false);
    const std::int32_t ii = get_objekt_id(inputName, false);
    if (oi < 0 || ii < 0) return -1;
    const TLogicComponent& out = std::as_const(Components).Items(oi);
    const TLogicComponent& in = std::as_const(Components).Items(ii);
    if (outputIndex < 0 || outputIndex >= out.OutputCount || inputIndex < 0 || inputIndex >= in.InputCount)
        return -1;

    TWire& wire = Wires.AddWire(outputName, outputIndex, inputIndex, inputName);
    const TPinPos o = out.OutputPixel(outputIndex);
    const TPinPos i = in.InputPixel(inputIndex);
    if (out.Left < in.Left) {
        const std::int32_t m = truncDiv(truncDiv(i.x - o.x, 2) + o.x, 10) * 10;
        wire.Points = {{m, o.y}, {m, i.y}};
    } else {
        const std::int32_t h = truncDiv(truncDiv(i.y - o.y, 2) + o.y, 10) * 10;
        wire.Points = {{o.x + 20, o.y}, {o.x + 20, h}, {i.x - 20, h}, {i.x - 20, i.y}};
    }
    Redraw();
    return Wires.Count();
}

// ---------------------------------------------------------------- moving

void TLogic::verschieben(int index, std::int32_t dx, std::int32_t dy) {
    if (index < 0 || index >= Components.Count()) return;
    TLogicComponent& c = Components.Items(index);
    const std::int32_t t0 = c.Top;
    c.Left += dx;
    c.Top += dy;
    if (c.Left < 1) c.Left = 1;
    if (c.Top < 1) c.Top = 1;
    if (c.Left + c.Width > DocSize.x / 10 - 1) c.Left = DocSize.x / 10 - c.Width - 1;
    if (c.Top + c.Height > DocSize.y / 10) c.Top = DocSize.y / 10 - c.Height;
    const std::int32_t d = (c.Top - t0) * 10;
    if (d == 0) return;
    const TWireList& wires = Wires;
    for (int i = 0; i < wires.Count(); ++i) {
        const TWire& w = wires.Items(i);
        if (w.Points.empty() || (w.Output != c.Name && w.Input != c.Name)) continue;
        TWire& changed = Wires.Items(i);
        if (changed.Output == c.Name) changed.Points.front().Y += d;
        if (changed.Input == c.Name) changed.Points.back().Y += d;
    }
}

void TLogic::move_verbindungsknoten_to(int wire, int node, TPoint point) {
    if (wire < 0 || wire >= Wires.Count()) return;
    TWire& w = Wires.Items(wire);
    if (node < 0 || node + 1 >= w.PointCount()) return;
    const std::int32_t mx = std::clamp(point.x, 70, std::max(70, DocSize.x - 70));
    const std::int32_t my = std::clamp(point.y, 0, std::max(0, DocSize.y));
    TPointEx& a = w.Points[static_cast<std::size_t>(node)];
    TPointEx& b = w.Points[static_cast<std::size_t>(node) + 1];
    if (a.X == b.X && mx != a.X && a.Y != b.Y) {
        const auto x = static_cast<std::int32_t>(roundHalfEven(mx / 10.0) * 10);
        a.X = x;
        b.X = x;
    } else if (a.Y == b.Y && my != a.Y && a.X != b.X) {
        const auto y = static_cast<std::int32_t>(roundHalfEven(my / 10.0) * 10);
        a.Y = y;
        b.Y = y;
    }
}

void TLogic::move_SEL_verbindungsknoten_to(TPoint point) { move_verbindungsknoten_to(SelectedWire, SelectedNode, point); }

void TLogic::move_verbinder_to_point(int wire, int node, TPoint point) {
    if (wire < 0 || wire >= Wires.Count()) return;
    TWire& w = Wires.Items(wire);
    if (node < 0 || node >= w.PointCount()) return;
    w.Points[static_cast<std::size_t>(node)] = {truncDiv(point.x, 10) * 10, truncDiv(point.y, 10) * 10};
}

void TLogic::Kopiere_Verbinder(int wire, int node, std::int32_t dx, std::int32_t dy) {
    if (wire < 0 || wire >= Wires.Count()) return;
    TWire& w = Wires.Items(wire);
    if (node < 0 || node >= w.PointCount()) return;
    const TPointEx p = w.Points[static_cast<std::size_t>(node)];
    w.InsertPoint(node + 1, p.X + dx, p.Y + dy);
}

void TLogic::SplitSegment(const TVerbindung& segment) {
    if (segment.Wire < 0 || segment.Wire >= Wires.Count()) return;
    const int n = segment.Node;
    if (n + 1 >= std::as_const(Wires).Items(segment.Wire).PointCount()) return;
    if (segment.Kind == 1) {
        Kopiere_Verbinder(segment.Wire, n, 10, 10);
        Kopiere_Verbinder(segment.Wire, n, 0, 10);
        move_verbinder_to_point(segment.Wire, n + 3, {segment.X + 10, segment.Y});
    } else if (segment.Kind == 2) {
        Kopiere_Verbinder(segment.Wire, n, 10, 10);
        Kopiere_Verbinder(segment.Wire, n, 10, 0);
        move_verbinder_to_point(segment.Wire, n + 3, {segment.X, segment.Y + 10});
    }
}

// ---------------------------------------------------------------- deleting

void TLogic::delete_(const std::string& name) {
    const TLogicComponent* c = std::as_const(*this).FindComponent(name);
    if (c == nullptr) return;
    const int inputs = c->InputCount;
    const int outputs = c->OutputCount;
    for (int i = 0; i < inputs; ++i) {
        TVerknuepfer p;
        p.Name = name;
        p.IsInput = 1;
        p.Pin = static_cast<std::uint8_t>(i);
        delete_verknuepfer(p);
    }
    for (int k = 0; k < outputs; ++k) {
        TVerknuepfer p;
        p.Name = name;
        p.IsInput = 0;
        p.Pin = static_cast<std::uint8_t>(k);
        delete_verknuepfer(p);
    }
    Components.Delete(Components.IndexOf(name));
    Redraw();
}

void TLogic::delete_sel_objekt() {
    if (!SelectedObject.empty()) delete_(SelectedObject);
}

void TLogic::delete_verknuepfer(const TVerknuepfer& pin) {
    for (int i = Wires.Count() - 1; i >= 0; --i) {
        const TWire& w = std::as_const(Wires).Items(i);
        const bool hit = pin.IsInput == 1 ? (w.Input == pin.Name && w.InputID == pin.Pin)
                                          : (pin.IsInput == 0 && w.Output == pin.Name && w.OutputID == pin.Pin);
        if (hit) Wires.Delete(i);
    }
    Redraw();
}

void TLogic::delete_Sel_Verbindung() { Wires.Delete(SelectedWire); }

// ---------------------------------------------------------------- selecting

void TLogic::Select_Objekt(const std::string& name) {
    SelectedObject = name;
    SelectedWire = -1;
    Selection.clear();
    if (!name.empty()) Selection.insert(name);
}

void TLogic::Select_Verbinder(const TVerbindung& segment) {
    SelectedWire = segment.Wire;
    SelectedNode = segment.Node;
    SelectedObject.clear();
    Selection.clear();
}

void TLogic::Select_Objekte(const std::set<std::string>& names) {
    Selection = names;
    SelectedWire = -1;
    SelectedObject.clear();
    for (const auto& c : std::as_const(Components))
        if (names.count(c.Name) != 0) {
            SelectedObject = c.Name;
            break;
        }
}

std::set<std::string> TLogic::SelectedNames() const {
    std::set<std::string> names = Selection;
    if (!SelectedObject.empty()) names.insert(SelectedObject);
    return names;
}

bool TLogic::IsSelected(const std::string& name) const {
    return (!SelectedObject.empty() && name == SelectedObject) || Selection.count(name) != 0;
}

void TLogic::PruneSelection() {
    std::set<std::string> present;
    for (const auto& c : std::as_const(Components))
        if (Selection.count(c.Name) != 0) present.insert(c.Name);
    Selection = std::move(present);
    if (!SelectedObject.empty() && std::as_const(*this).FindComponent(SelectedObject) == nullptr)
        SelectedObject.clear();
    if (SelectedWire >= Wires.Count()) SelectedWire = -1;
}

// ---------------------------------------------------------------- hit tests

std::string TLogic::objekt_an_position(std::int32_t x, std::int32_t y) const {
    std::string found = "--";
    for (const auto& c : Components) {
        if (c.Left * 10 <= x && x <= (c.Left + c.Width) * 10 && c.Top * 10 <= y && y <= (c.Top + c.Height) * 10)
            found = c.Name;
    }
    return found;
}

TVerknuepfer TLogic::verknuepfer_an_position(std::int32_t x, std::int32_t y) const {
    const TLogicComponent* hit = nullptr;
    for (const auto& c : Components) {
        if (c.Left * 10 - 5 <= x && x <= (c.Left + c.Width) * 10 + 10 && c.Top * 10 - 5 <= y &&
            y <= (c.Top + c.Height) * 10 + 10) {
            hit = &c;
            break;
        }
    }
    if (hit == nullptr) return {};
    auto matches = [&](TPinPos p) { return p.x - 10 <= x && x <= p.x + 5 && p.y - 10 <= y && y <= p.y + 5; };
    for (int i = 0; i < hit->InputCount; ++i) {
        const TPinPos p = hit->InputPixel(i);
        if (matches(p)) return {hit->Name, 1, static_cast<std::uint8_t>(i), p.x, p.y};
    }
    for (int k = 0; k < hit->OutputCount; ++k) {
        const TPinPos p = hit->OutputPixel(k);
        if (matches(p)) return {hit->Name, 0, static_cast<std::uint8_t>(k), p.x, p.y};
    }
    return {};
}

TVerbindung TLogic::get_verbindung() const {
    const std::int32_t mx = MousePos.x;
    const std::int32_t my = MousePos.y;
    for (int wi = 0; wi < Wires.Count(); ++wi) {
        const TWire& w = Wires.Items(wi);
        std::int32_t px = 0;
        std::int32_t py = 0;
        for (int pi = 0; pi < w.PointCount(); ++pi) {
            const std::int32_t x = w.Points[static_cast<std::size_t>(pi)].X;
            const std::int32_t y = w.Points[static_cast<std::size_t>(pi)].Y;
            if (px != 0 && py != 0) {
                int kind = 0;
                if (x == px && y != py) {
                    if (x - 3 <= mx && mx <= x + 3 && std::min(y, py) - 3 <= my && my <= std::max(y, py) + 3)
                        kind = 1;
                } else if (y == py && x != px) {
                    if (y - 3 <= my && my <= y + 3 && std::min(x, px) <= mx && mx <= std::max(x, px)) kind = 2;
                } else if (x == px && y == py) {
                    if (std::abs(mx - x) <= 3 && std::abs(my - y) <= 3) kind = 1;
                }
                if (kind != 0) return {wi, static_cast<std::uint8_t>(pi - 1), x, y, kind};
            }
            px = x;
            py = y;
        }
    }
    return {};
}

} // namespace v7300
