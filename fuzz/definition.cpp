// Definition files: checksum line, header grammar, variable declarations and placement.
#include "core/Error.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "model/Logic.h"
#include "model/ObjDefinition.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    v7300::SilentMessagePort port;
    v7300::TLogicComponentLibaryItem item;
    item.Name = "FUZZ";
    item.FileName = "/nonexistent/FUZZ.obj"; // a repair cannot write here
    item.Lines = v7300::splitLines(v7300::cp1252ToUtf8(std::string(reinterpret_cast<const char*>(data), size)));
    v7300::TLogicComponentLibrary library;
    library.AddItem(item);
    v7300::TLogic logic(std::move(library), port);
    logic.NewProject();
    try {
        logic.Add_objekt("FUZZ", "", 0, 0);
        logic.Add_objekt("FUZZ", "", 0, 0);
        if (logic.Components.Count() == 2) {
            logic.add_verbinder(logic.Components.Items(0).Name, 0, 0, logic.Components.Items(1).Name);
            logic.verschieben(1, 3, -2);
            logic.MousePos = {50, 50};
            (void)logic.get_verbindung();
            (void)logic.verknuepfer_an_position(80, 40);
        }
    } catch (const v7300::Error&) {
        // a defective definition is reported to the caller; nothing else may happen
    }
    return 0;
}
