#include "project/XmlProject.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "core/TextCodec.h"
#include "model/ShownItemsEditor.h"
#include "project/InvertedHex.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace v7300 {
namespace {

struct DocDeleter {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocDeleter>;

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }
const xmlChar* X(const std::string& s) { return X(s.c_str()); }

void initXml() {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
}

// A text that the XML document can hold and Windows-1252 can store: characters
// outside Windows-1252 become "?", and so do control characters that XML 1.0
// does not allow (a file with them could not be read back).
std::string storable(const std::string& text) {
    std::string s = cp1252ToUtf8(utf8ToCp1252(text));
    for (char& c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') c = '?';
    }
    return s;
}

xmlNode* addChild(xmlNode* parent, const char* name) { return xmlNewChild(parent, nullptr, X(name), nullptr); }

xmlNode* addText(xmlNode* parent, const std::string& name, const std::string& text) {
    return xmlNewTextChild(parent, nullptr, X(name), X(storable(text)));
}

xmlNode* addNumber(xmlNode* parent, const char* name, std::int32_t n) {
    return xmlNewTextChild(parent, nullptr, X(name), X(std::to_string(n)));
}

// A component's head; returns its "variables" element.
xmlNode* addComponent(xmlNode* components, const std::string& name, const std::string& type, std::int32_t left,
                      std::int32_t top) {
    xmlNode* comp = addChild(components, "component");
    addText(comp, "name", name);
    addText(comp, "type", type);
    addNumber(comp, "left", left);
    addNumber(comp, "top", top);
    return addChild(comp, "variables");
}

// The "wire" element with every wire and its points (projects and fragments alike).
template <typename Wires>
void addWires(xmlNode* root, const Wires& all) {
    xmlNode* wires = addChild(root, "wire");
    for (const auto& w : all) {
        xmlNode* wire = addChild(wires, "wire");
        addText(wire, "output", w.Output);
        addNumber(wire, "outputID", w.OutputID);
        addText(wire, "input", w.Input);
        addNumber(wire, "inputID", w.InputID);
        xmlNode* points = addChild(wire, "points");
        for (const auto& p : w.Points) {
            xmlNode* point = addChild(points, "point");
            xmlNewProp(point, X("x"), X(std::to_string(p.X)));
            xmlNewProp(point, X("y"), X(std::to_string(p.Y)));
        }
    }
}

DocPtr buildDocument(const TLogic& logic) {
    DocPtr doc(xmlNewDoc(X("1.0")));
    xmlNode* root = xmlNewNode(nullptr, X("v7300"));
    xmlDocSetRootElement(doc.get(), root);
    addText(root, "version", kXmlProjectVersion);

    xmlNode* components = addChild(root, "components");
    for (const auto& c : logic.Components) {
        xmlNode* vars = addComponent(components, c.Name, c.TypeName, c.Left, c.Top);
        for (const auto& v : c.Variables) {
            xmlNode* var = addChild(vars, "variable");
            addText(var, "name", v.Name());
            addText(var, "type", v.GetTypeName());
            addText(var, "value", v.GetValue());
        }
    }
    addWires(root, logic.Wires);

    xmlNode* options = addChild(root, "options");
    addText(options, "V7300NETIO.IP", logic.DeviceAddress);

    xmlNode* shown = addChild(root, "shownTexts");
    for (std::size_t p = 0; p < logic.ShownTexts.size(); ++p) {
        const TShownOutput& page = logic.ShownTexts[p];
        xmlNode* pageNode = addChild(shown, ("page" + std::to_string(p)).c_str());
        xmlNewProp(pageNode, X("name"), X(storable(page.name)));
        for (std::size_t s = 0; s < page.slots.size(); ++s) {
            xmlNode* slot = addChild(pageNode, ("object" + std::to_string(s)).c_str());
            if (!page.slots[s]) continue;
            addText(slot, "component", page.slots[s]->component);
            addNumber(slot, "output", page.slots[s]->output);
            addText(slot, "text", page.slots[s]->text);
        }
    }
    return doc;
}

// ------------------------------------------------------------------ reading helpers

bool isElement(const xmlNode* n) { return n != nullptr && n->type == XML_ELEMENT_NODE; }

// The first direct child element of that name, or nullptr.
const xmlNode* child(const xmlNode* parent, const char* name) {
    if (parent == nullptr) return nullptr;
    for (const xmlNode* n = parent->children; n != nullptr; n = n->next)
        if (isElement(n) && xmlStrEqual(n->name, X(name))) return n;
    return nullptr;
}

const xmlNode* child(const xmlNode* parent, const std::string& name) { return child(parent, name.c_str()); }

std::vector<const xmlNode*> elementChildren(const xmlNode* parent) {
    std::vector<const xmlNode*> out;
    if (parent == nullptr) return out;
    for (const xmlNode* n = parent->children; n != nullptr; n = n->next)
        if (isElement(n)) out.push_back(n);
    return out;
}

bool hasElementChildren(const xmlNode* n) {
    if (n == nullptr) return false;
    for (const xmlNode* c = n->children; c != nullptr; c = c->next)
        if (isElement(c)) return true;
    return false;
}

// The element's own text (its text and CDATA children); empty for a missing element.
std::string text(const xmlNode* n) {
    std::string s;
    if (n == nullptr) return s;
    for (const xmlNode* c = n->children; c != nullptr; c = c->next)
        if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content != nullptr)
            s += reinterpret_cast<const char*>(c->content);
    return s;
}

std::string attribute(const xmlNode* n, const char* name) {
    if (n == nullptr) return {};
    xmlChar* v = xmlGetNoNsProp(n, X(name));
    if (v == nullptr) return {};
    std::string s(reinterpret_cast<const char*>(v));
    xmlFree(v);
    return s;
}

std::int32_t integer(const std::string& s) { return toInt32(trimBlanks(s)); }

DocPtr parseXml(const std::string& utf8) {
    initXml();
    if (utf8.size() > static_cast<std::size_t>(INT32_MAX)) return nullptr;
    // No network, no DTD loading, no entity substitution: a file is data.
    const int options = XML_PARSE_NONET | XML_PARSE_IGNORE_ENC | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    return DocPtr(xmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8", options));
}

// A stored number within the bound once multiplied by the scale; a text that is no
// integer passes here and fails in stage 2 as before.
bool withinBound(const std::string& text, std::int64_t scale) {
    const auto n = parseInt32(trimBlanks(text));
    return !n || std::llabs(*n * scale) <= kMaxPixelCoordinate;
}

// Every component position (grid units) and wire point (pixels) lies where a
// diagram can have it.
bool positionsWithinBound(const xmlNode* root) {
    for (const xmlNode* comp : elementChildren(child(root, "components")))
        if (!withinBound(text(child(comp, "left")), kGrid) || !withinBound(text(child(comp, "top")), kGrid))
            return false;
    for (const xmlNode* w : elementChildren(child(root, "wire")))
        for (const xmlNode* p : elementChildren(child(w, "points")))
            if (!withinBound(attribute(p, "x"), 1) || !withinBound(attribute(p, "y"), 1)) return false;
    return true;
}

// Stage 1: the parsed document, or nullptr when the bytes are not in the format.
DocPtr decodeAndParse(const std::string& fileBytes, std::string* xmlUtf8) {
    if (fileBytes.size() > kMaxProjectFileBytes) return nullptr;
    const auto bytes = DecodeInvertedHex(fileBytes);
    if (!bytes) return nullptr;
    // The XML text is Windows-1252, whatever its declaration says.
    std::string utf8 = cp1252ToUtf8(*bytes);
    DocPtr doc = parseXml(utf8);
    if (!doc || xmlDocGetRootElement(doc.get()) == nullptr) return nullptr;
    // The program never writes a document type; one with entities would make texts
    // read as empty, so a text that declares one is not a project file.
    if (doc->intSubset != nullptr || doc->extSubset != nullptr) return nullptr;
    if (!positionsWithinBound(xmlDocGetRootElement(doc.get()))) return nullptr;
    if (xmlUtf8 != nullptr) *xmlUtf8 = std::move(utf8);
    return doc;
}

const char* const kConvertedInputs[] = {"IN1", "IN2", "IN3", "IN4", "IN5", "IN6", "IN7", "IN8"};

void readComponent(TLogic& logic, const xmlNode* comp, bool convertInputs) {
    const std::int32_t left = integer(text(child(comp, "left")));
    const std::int32_t top = integer(text(child(comp, "top")));
    const std::string name = text(child(comp, "name"));
    const std::string type = text(child(comp, "type"));
    logic.Add_objekt(type, name, left, top);
    const std::int32_t index = logic.get_objekt_id(name, false);

    const auto variables = elementChildren(child(comp, "variables"));
    for (std::size_t j = 0; j < variables.size(); ++j) {
        if (index < 0) throw Error("Der Baustein " + name + " ist nicht vorhanden");
        TLogicComponentDefineList& vars = logic.Components.Items(index).Variables;
        if (static_cast<int>(j) >= vars.Count())
            throw Error("Der Baustein " + name + " hat nur " + std::to_string(vars.Count()) + " Variablen");
        // A value the type refuses is dropped; the variable keeps its default.
        (void)vars.Items(static_cast<int>(j)).SetValue(text(child(variables[j], "value")));
    }

    // Only inputs get the input number; another type that bears such a name keeps its values.
    if (convertInputs && index >= 0 && logic.Components.Items(index).TypeName == "IN") {
        for (int n = 0; n < 8; ++n) {
            if (name != kConvertedInputs[n]) continue;
            TLogicComponentDefineList& vars = logic.Components.Items(index).Variables;
            if (vars.Count() < 3) throw Error("Der Baustein " + name + " hat keine Eingangsnummer");
            (void)vars.Items(2).SetValue(std::to_string(n + 1));
        }
    }
}

void readWire(TLogic& logic, const xmlNode* w) {
    const std::string input = text(child(w, "input"));
    const std::int32_t inputID = integer(text(child(w, "inputID")));
    const std::int32_t outputID = integer(text(child(w, "outputID")));
    const std::string output = text(child(w, "output"));
    TWire& wire = logic.Wires.AddWire(output, outputID, inputID, input);
    for (const xmlNode* p : elementChildren(child(w, "points"))) {
        const std::string x = attribute(p, "x");
        const std::string y = attribute(p, "y");
        if (x.empty() || y.empty()) continue;
        wire.InsertPoint(-1, integer(x), integer(y));
    }
}

std::array<TShownOutput, 6> readPages(const xmlNode* shown) {
    std::array<TShownOutput, 6> pages;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const xmlNode* pageNode = child(shown, "page" + std::to_string(p));
        pages[p].name = attribute(pageNode, "name");
        for (std::size_t s = 0; s < pages[p].slots.size(); ++s) {
            const xmlNode* slot = child(pageNode, "object" + std::to_string(s));
            if (!hasElementChildren(slot)) continue;
            TOutputs entry;
            entry.component = text(child(slot, "component"));
            const std::string output = trimBlanks(text(child(slot, "output")));
            entry.output = output.empty() ? 0 : toInt32(output);
            entry.text = text(child(slot, "text"));
            pages[p].slots[s] = entry;
        }
    }
    // The file keeps each slot's fields only: equal slots are one entry again.
    LinkShownEntries(pages);
    return pages;
}

std::string newerVersionQuestion(const std::string& version) {
    return "Die Datei wurde mit einer neueren Version gespeichert (" + version +
           ")\r\nUm diese Datei erfolgreich zu öffnen müssen Sie ihre Version updaten!\r\nTrotzdem öffnen?";
}

// Stage 2. Returns false when the user declined; raises on a content failure.
bool readContent(TLogic& logic, const xmlNode* root) {
    logic.Init();
    const std::string version = text(child(root, "version"));
    bool convertInputs = false;
    // Versions compare as plain strings, byte by byte.
    if (std::string(kXmlProjectVersion) < version) {
        const MsgButton answer =
            logic.Messages.show({"Hinweis", newerVersionQuestion(version), MsgIcon::Information, MbYes | MbNo, MbYes});
        if (answer != MbYes) return false;
    } else if (version < std::string("2.1.7")) {
        logic.Messages.showHint("Die Datei wurde mit der Version " + version +
                                " gespeichert.\r\nDie Inputs werden auf das neue Format konvertiert.");
        convertInputs = true;
    }
    for (const xmlNode* comp : elementChildren(child(root, "components"))) readComponent(logic, comp, convertInputs);
    for (const xmlNode* w : elementChildren(child(root, "wire"))) readWire(logic, w);
    logic.DeviceAddress = text(child(child(root, "options"), "V7300NETIO.IP"));
    logic.ShownTexts = readPages(child(root, "shownTexts"));
    return true;
}

} // namespace

std::string BuildXmlText(const TLogic& logic) {
    initXml();
    const DocPtr doc = buildDocument(logic);
    xmlBuffer* buffer = xmlBufferCreate();
    xmlSaveCtxt* save = xmlSaveToBuffer(buffer, "UTF-8", XML_SAVE_FORMAT | XML_SAVE_NO_DECL);
    if (save == nullptr) {
        xmlBufferFree(buffer);
        throw Error("Das Projekt kann nicht geschrieben werden");
    }
    xmlSaveDoc(save, doc.get());
    xmlSaveClose(save);
    const std::string body(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                           static_cast<std::size_t>(xmlBufferLength(buffer)));
    xmlBufferFree(buffer);

    std::string out = "<?xml version=\"1.0\"?>\r\n";
    out.reserve(body.size() * 11 / 10 + out.size());
    for (const char c : body) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string EncodeProjectFile(const std::string& xmlUtf8) { return EncodeInvertedHex(utf8ToCp1252(xmlUtf8)) + "\r\n"; }

void SaveXml(const TLogic& logic, const std::string& fileName) {
    writeFileAtomic(fileName, EncodeProjectFile(BuildXmlText(logic)));
}

std::optional<std::string> DecodeProjectFile(const std::string& fileBytes) {
    std::string xml;
    if (!decodeAndParse(fileBytes, &xml)) return std::nullopt;
    return xml;
}

bool OpenXmlBytes(TLogic& logic, const std::string& fileBytes) {
    const DocPtr doc = decodeAndParse(fileBytes, nullptr);
    if (!doc) {
        logic.Messages.showError(kXmlFormatMessage);
        return false;
    }
    try {
        return readContent(logic, xmlDocGetRootElement(doc.get()));
    } catch (const std::exception&) {
        // What was read before the failure stays in the diagram.
        logic.Messages.showPlain(kXmlOpenMessage);
        return false;
    }
}

std::optional<std::string> ReadProjectFileBytes(const std::string& fileName) {
    try {
        return readFileBytesAtMost(fileName, kMaxProjectFileBytes);
    } catch (const Error&) {
        return std::nullopt;
    }
}

bool OpenXml(TLogic& logic, const std::string& fileName) {
    const std::optional<std::string> bytes = ReadProjectFileBytes(fileName);
    if (!bytes) {
        logic.Messages.showError(kXmlFormatMessage);
        return false;
    }
    return OpenXmlBytes(logic, *bytes);
}

// ------------------------------------------------------------------ clipboard fragments

namespace {

// Positions of a pasted piece stay where a diagram can have them.
constexpr std::int32_t kMaxFragmentPixel = 1000000;
constexpr std::size_t kMaxFragmentComponents = 100000;

std::string serialise(xmlDoc* doc) {
    xmlBuffer* buffer = xmlBufferCreate();
    xmlSaveCtxt* save = xmlSaveToBuffer(buffer, "UTF-8", XML_SAVE_FORMAT | XML_SAVE_NO_DECL);
    if (save == nullptr) {
        xmlBufferFree(buffer);
        throw Error("Das Projekt kann nicht geschrieben werden");
    }
    xmlSaveDoc(save, doc);
    xmlSaveClose(save);
    std::string body(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                     static_cast<std::size_t>(xmlBufferLength(buffer)));
    xmlBufferFree(buffer);
    return "<?xml version=\"1.0\"?>\n" + body;
}

std::int32_t fragmentNumber(const std::string& s, std::int32_t limit) {
    std::int32_t n = 0;
    try {
        n = integer(s);
    } catch (const std::exception&) {
        throw Error(kXmlFormatMessage);
    }
    if (n < -limit || n > limit) throw Error(kXmlFormatMessage);
    return n;
}

TFragmentComponent readFragmentComponent(const xmlNode* comp) {
    TFragmentComponent fc;
    fc.Name = text(child(comp, "name"));
    fc.TypeName = text(child(comp, "type"));
    if (fc.TypeName.empty()) throw Error(kXmlFormatMessage);
    fc.Left = fragmentNumber(text(child(comp, "left")), kMaxFragmentPixel / 10);
    fc.Top = fragmentNumber(text(child(comp, "top")), kMaxFragmentPixel / 10);
    for (const xmlNode* var : elementChildren(child(comp, "variables"))) fc.Values.push_back(text(child(var, "value")));
    return fc;
}

TWire readFragmentWire(const xmlNode* w) {
    TWire wire;
    wire.Output = text(child(w, "output"));
    wire.Input = text(child(w, "input"));
    wire.OutputID = fragmentNumber(text(child(w, "outputID")), 255);
    wire.InputID = fragmentNumber(text(child(w, "inputID")), 255);
    for (const xmlNode* p : elementChildren(child(w, "points"))) {
        const std::string x = attribute(p, "x");
        const std::string y = attribute(p, "y");
        if (x.empty() || y.empty()) continue;
        wire.Points.push_back({fragmentNumber(x, kMaxFragmentPixel), fragmentNumber(y, kMaxFragmentPixel)});
    }
    return wire;
}

} // namespace

std::string BuildFragmentXml(const TDiagramFragment& fragment) {
    initXml();
    DocPtr doc(xmlNewDoc(X("1.0")));
    xmlNode* root = xmlNewNode(nullptr, X("v7300"));
    xmlDocSetRootElement(doc.get(), root);
    addText(root, "version", kXmlProjectVersion);
    xmlNode* components = addChild(root, "components");
    for (const auto& c : fragment.Components) {
        xmlNode* vars = addComponent(components, c.Name, c.TypeName, c.Left, c.Top);
        for (const auto& value : c.Values) addText(addChild(vars, "variable"), "value", value);
    }
    addWires(root, fragment.Wires);
    return serialise(doc.get());
}

bool LooksLikeFragmentXml(const std::string& utf8) {
    return utf8.find("<v7300") != std::string::npos && utf8.find("<components") != std::string::npos;
}

TDiagramFragment ReadFragmentXml(const std::string& utf8) {
    if (utf8.size() > kMaxProjectFileBytes) throw Error(kXmlFormatMessage);
    const DocPtr doc = parseXml(utf8);
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    // A fragment is data: no document type with entities of its own.
    if (root == nullptr || doc->intSubset != nullptr || !xmlStrEqual(root->name, X("v7300")) ||
        child(root, "components") == nullptr)
        throw Error(kXmlFormatMessage);
    TDiagramFragment fragment;
    const auto components = elementChildren(child(root, "components"));
    if (components.size() > kMaxFragmentComponents) throw Error(kXmlFormatMessage);
    for (const xmlNode* comp : components) fragment.Components.push_back(readFragmentComponent(comp));
    for (const xmlNode* w : elementChildren(child(root, "wire"))) fragment.Wires.push_back(readFragmentWire(w));
    return fragment;
}

} // namespace v7300
