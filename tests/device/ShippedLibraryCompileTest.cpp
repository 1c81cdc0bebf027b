#include "core/Error.h"
#include "device/ImageReader.h"
#include "device/LogicCompiler.h"
#include "model/Logic.h"
#include "model/TypeCatalogue.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

// Every catalogue type placed from the shipped library with its default
// parameters, required inputs fed by one NUM, compiles and reads back.
TEST(ShippedLibrary, EveryTypeCompilesWithItsDefaults) {
    test::RecordingMessagePort port;
    TLogic logic(std::string(V7300_SOURCE_DIR) + "/objekts", port);
    logic.NewProject();
    ASSERT_GE(logic.Add_objekt("NUM", "", 2, 2), 0);
    const std::string source = logic.Components.Items(0).Name;
    int x = 10;
    for (const auto& entry : TypeCatalogue()) {
        const int index = logic.Add_objekt(entry.typeName, "", x, 2);
        ASSERT_GE(index, 0) << entry.typeName << " is missing from the library";
        x += 10;
        const TLogicComponent& c = logic.Components.Items(index);
        for (int in = 0; in < entry.requiredInputs; ++in)
            ASSERT_GE(logic.add_verbinder(source, 0, in, c.Name), 0) << c.Name << " input " << in;
    }
    TV7300_EEPROM_Data image;
    try {
        CreateNETIOData(logic, image);
    } catch (const Error& e) {
        FAIL() << e.what();
    }
    const TDeviceImage read = ReadDeviceImage(image);
    EXPECT_EQ(static_cast<int>(read.Objects.size()), logic.Components.CountWithoutTXT());
    EXPECT_EQ(static_cast<int>(read.Objects.size()), static_cast<int>(TypeCatalogue().size()));
}

} // namespace
} // namespace v7300
