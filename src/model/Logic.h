#pragma once
// The diagram document: placed components, wires, the six display-text pages,
// the project options, the component library, and the editing state the view needs.
#include "core/MessagePort.h"
#include "model/DiagramContent.h"
#include "model/LogicComponent.h"
#include "model/LogicComponentLibrary.h"
#include "model/LogicWire.h"
#include "model/ObjDefinition.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace v7300 {

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const TPoint&) const = default;
};

// A box in document pixels, edges included.
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;
};

// A connection point: the result of the pin hit test and the start of a wire being drawn.
struct TVerknuepfer {
    std::string Name = "--";
    std::uint8_t IsInput = 0;
    std::uint8_t Pin = 255;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool IsPin() const { return Pin != 255; }
    bool operator==(const TVerknuepfer&) const = default;
};

// A wire segment: the result of the wire hit test.
struct TVerbindung {
    std::int32_t Wire = -1;
    std::uint8_t Node = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Kind = 0; // 1 vertical (or coinciding points), 2 horizontal
    bool operator==(const TVerbindung&) const = default;
};

// What the document and its drawing need of a running simulation or live view.
// Implemented by the simulation layer.
class TSimulationState {
public:
    virtual ~TSimulationState() = default;
    virtual bool Running() const = 0;
    // The store's value of a name ("0" for an unknown name).
    virtual std::string GetVariable(const std::string& name) const = 0;
    // The store names whose values are forced (the drawing marks them).
    virtual std::vector<std::string> ForcedNames() const { return {}; }
};

constexpr std::int32_t kDocumentSize = 2000;

// The document: its content (a value, see TDiagramContent) and the state of the
// view and the gestures on it, which is no part of the content.
class TLogic : public TDiagramContent {
public:
    // Create: loads the library from the folder.
    TLogic(const std::string& libraryFolder, MessagePort& messages);
    // A document over a library built elsewhere (tests, tools).
    TLogic(TLogicComponentLibrary library, MessagePort& messages);

    // --- construction and reset
    void Init();
    void ClearComponents();
    // "Neu": the project options to their defaults, then Init.
    void NewProject();
    void SetDefaultOptions();
    // The controller's address kept with the project; true when it changed.
    bool SetDeviceAddress(const std::string& address);

    // --- lookups
    // List index of the named component (counted without TXT when skipTXT), -1 when
    // absent; raises Error "Objekt-ID doppelt vergeben!" when the name occurs twice.
    std::int32_t get_objekt_id(const std::string& name, bool skipTXT) const;
    std::string GetObjectNameByID(std::int32_t index) const;
    bool IsInputConnected(const std::string& name, std::int32_t inputIndex) const;
    bool Simulating() const;
    void show_info(bool flag) { ShowInfo = flag; }
    // The first component with that name, or nullptr (no duplicate check).
    TLogicComponent* FindComponent(const std::string& name);
    const TLogicComponent* FindComponent(const std::string& name) const;
    const Image* GetBmpFromObjektName(const std::string& name) const { return Library.GetImage(name, name); }

    // --- placing
    // Places a component of the type; left/top 0 mean 7/3. Returns its index, or -1.
    int Add_objekt(const std::string& typeName, const std::string& instanceName, std::int32_t left,
                   std::int32_t top);
    int add(std::int32_t width, std::int32_t height, const std::string& typeName, const std::string& instanceName,
            std::int32_t left, std::int32_t top, const std::string& namePrefix,
            const std::vector<std::string>& scriptLines, int outputCount, int inputCount);

    // --- connecting
    std::int32_t add_verbinder(const std::string& outputName, std::int32_t outputIndex, std::int32_t inputIndex,
                               const std::string& inputName);

    // --- moving
    void verschieben(int index, std::int32_t dx, std::int32_t dy);
    void move_verbindungsknoten_to(int wire, int node, TPoint point);
    void move_SEL_verbindungsknoten_to(TPoint point);
    void move_verbinder_to_point(int wire, int node, TPoint point);
    void Kopiere_Verbinder(int wire, int node, std::int32_t dx, std::int32_t dy);
    void SplitSegment(const TVerbindung& segment);

    // --- deleting
    void delete_(const std::string& name); // "delete"
    void delete_sel_objekt();
    void delete_verknuepfer(const TVerknuepfer& pin);
    void delete_Sel_Verbindung();

    // --- selecting
    void Select_Objekt(const std::string& name);
    void Select_Verbinder(const TVerbindung& segment);
    std::string get_Sel_Objekt() const { return SelectedObject; }
    // Several components: the set becomes the selection, SelectedObject its first
    // member in list order (empty for none), SelectedWire -1.
    void Select_Objekte(const std::set<std::string>& names);
    // Every selected component's name (SelectedObject included).
    std::set<std::string> SelectedNames() const;
    // Whether the component is selected (alone or with others).
    bool IsSelected(const std::string& name) const;
    // Drops the names of components that no longer exist from the selection.
    void PruneSelection();

    // Moves the components by dx, dy grid units together: the move is limited so
    // that none leaves the document, wires between two of them move with all their
    // bend points, other wires are adjusted as by verschieben. Returns the move made.
    TPoint MoveComponents(const std::set<std::string>& names, std::int32_t dx, std::int32_t dy);
    // The components touched by the box (document pixels, edges included).
    std::set<std::string> ComponentsIn(const TRect& box) const;

    // --- hit tests (document pixels)
    std::string objekt_an_position(std::int32_t x, std::int32_t y) const;
    TVerknuepfer verknuepfer_an_position(std::int32_t x, std::int32_t y) const;
    TVerbindung get_verbindung() const;

    // Asks the view to draw (the view installs OnRedraw).
    void Redraw() const {
        if (OnRedraw) OnRedraw();
    }

    // --- the content as one value: copied for undo, compared for "modified"
    const TDiagramContent& Content() const { return *this; }
    // Replaces the content; a selection that no longer names anything is cleared
    // and a wire being drawn is dropped.
    void SetContent(const TDiagramContent& content);

    TLogicComponentLibrary Library;

    // --- view geometry
    TPoint ViewOrigin{0, 0};
    TPoint DocSize{kDocumentSize, kDocumentSize};
    TPoint ScrollOffset{0, 0};

    // The running simulation or live view; none while editing.
    TSimulationState* Simulation = nullptr;

    // --- editing state
    std::string SelectedObject;
    // Every selected component; holds SelectedObject when that is set.
    std::set<std::string> Selection;
    // The rubber band being dragged, drawn while shown.
    bool RubberBandShown = false;
    TRect RubberBand;
    // The view's scale (1.0 = 100 %); the document itself is always drawn at 100 %.
    double Zoom = 1.0;
    std::int32_t SelectedWire = -1;
    std::uint8_t SelectedNode = 0;
    bool Initialised = false;
    bool ShowInfo = true;

    TPoint MousePos{0, 0};
    bool Dragging = false;
    TVerknuepfer DragStart;
    bool Raster = true;
    bool AutoScroll = true;

    std::function<void()> OnRedraw;
    MessagePort& Messages;

private:
    // The type's definition from the library, its checksum verified and parsed;
    // nullptr when the library has no lines for the type. Placing many components
    // of a type (opening a large project) verifies and parses it once, as long as
    // the library's lines stay the same.
    const TObjDefinition* VerifiedDefinition(const std::string& typeName);
    struct ParsedDefinition {
        std::vector<std::string> lines;
        TObjDefinition definition;
    };
    std::unordered_map<std::string, ParsedDefinition> parsed_;
    TObjDefinition lastUnsigned_;
};

} // namespace v7300
