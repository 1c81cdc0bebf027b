#pragma once
// A document over the test library in a temporary folder, with a recording message port.
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "model/Logic.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace v7300::test {

class ProjectTest : public ::testing::Test {
protected:
    // The library is the same for every test: written once per test program.
    static const std::string& libraryDir() {
        static const TempDir libraryRoot;
        static const std::string dir = [] {
            const std::string d = libraryRoot.file("lib");
            writeTestLibrary(d);
            writeDefinition(d, "ZEIT",
                            {"-NAME", "ZEIT", "-X", "4", "-Y", "2", "-OUT", "1", "-VARS", "INT STUNDE 0", "---"});
            writeDefinition(d, "LCD",
                            {"-NAME", "LCD", "-X", "6", "-Y", "2", "-IN", "1", "-VARS", "STR TEXT Wert", "INT ZEILE 1",
                             "INT POS 0", "---"});
            return d;
        }();
        return dir;
    }

    void SetUp() override {
        setDecimalSeparator(',');
        logic = makeLogic(port);
    }

    // Components with positions, sizes, pins and variable values (as GetValue gives them).
    static std::string describe(const TLogic& l) {
        std::string s;
        for (const auto& c : l.Components) {
            s += c.Name + " " + c.TypeName + " " + std::to_string(c.Left) + "," + std::to_string(c.Top) + " " +
                 std::to_string(c.Width) + "x" + std::to_string(c.Height) + " in" + std::to_string(c.InputCount) +
                 " out" + std::to_string(c.OutputCount) + " show" + std::to_string(c.ShowRefs.size()) + ":";
            for (const auto& v : c.Variables) s += " " + v.Name() + "(" + v.GetTypeName() + ")=" + v.GetValue();
            s += "\n";
        }
        return s;
    }

    std::unique_ptr<TLogic> makeLogic(MessagePort& messages) {
        auto l = std::make_unique<TLogic>(libraryDir(), messages);
        l->NewProject();
        return l;
    }

    TempDir dir;
    RecordingMessagePort port;
    std::unique_ptr<TLogic> logic;
};

} // namespace v7300::test
