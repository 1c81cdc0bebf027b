#include "core/Error.h"
#include "core/FileIO.h"
#include "device/LogicCompiler.h"
#include "device/UnitV7300EEPROMData.h"
#include "model/Logic.h"
#include "project/ProjectFile.h"
#include "project/XmlProject.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>


namespace v7300 {
namespace {

using Result = test::CliResult;

class CompileCli : public ::testing::Test {
protected:
    void SetUp() override { test::writeTestLibrary(lib()); }

    std::string lib() const { return dir.file("objekts"); }

    Result run(std::vector<std::string> args) { return test::runCli(std::move(args), lib()); }

    // A small project: a free text, NUM1 -> INV1 -> OUT1, one display entry.
    std::string saveProject(const std::string& name, bool addBrokenTimer = false, bool addUnsupported = false) {
        test::RecordingMessagePort port;
        TLogic logic(lib(), port);
        logic.NewProject();
        logic.Add_objekt("TXT", "", 2, 2);
        logic.Add_objekt("NUM", "", 5, 5);
        logic.Add_objekt("INV", "", 15, 5);
        logic.Add_objekt("OUT", "", 25, 5);
        EXPECT_GE(logic.add_verbinder("NUM1", 0, 0, "INV1"), 0);
        EXPECT_GE(logic.add_verbinder("INV1", 0, 0, "OUT1"), 0);
        logic.ShownTexts[0].name = "Start";
        logic.ShownTexts[0].slots[1] = TOutputs{"INV1", 0, "Lampe"};
        logic.DeviceAddress = "192.168.0.90";
        if (addBrokenTimer) logic.Add_objekt("TIMER", "", 5, 15);
        if (addUnsupported) logic.Add_objekt("BOOLTEST", "", 15, 15);
        const std::string path = dir.file(name);
        SaveXml(logic, path);
        return path;
    }

    test::TempDir dir;
};

TEST_F(CompileCli, PrintsObjectCountAndSizeAndWritesTheImage) {
    const std::string project = saveProject("a.v7k");
    const std::string imageFile = dir.file("a.bin");
    const Result r = run({"compile", project, "-o", imageFile});
    EXPECT_EQ(r.status, 0) << r.err;

    // The reference: the same project opened and compiled in process.
    test::RecordingMessagePort port;
    TLogic logic(lib(), port);
    logic.NewProject();
    ASSERT_TRUE(OpenProjectFile(logic, project));
    TV7300_EEPROM_Data image;
    CreateNETIOData(logic, image);
    ASSERT_EQ(logic.Components.CountWithoutTXT(), 3);
    EXPECT_EQ(r.out, "3 / 100 [" + std::to_string(image.GetSize()) + " Bytes]\n");
    const std::string written = test::readFile(imageFile);
    EXPECT_EQ(written, std::string(image.Bytes().begin(), image.Bytes().end()));
    EXPECT_GT(written.size(), static_cast<std::size_t>(kEmptyImageSize));
}

TEST_F(CompileCli, WithoutOutputOnlyPrints) {
    const Result r = run({"compile", saveProject("b.v7k")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("3 / 100 [", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(CompileCli, CompileFailureGoesToStderrWithStatus1) {
    const std::string imageFile = dir.file("c.bin");
    Result r = run({"compile", saveProject("c.v7k", true), "-o", imageFile});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "TIMER1 muss an jedem Eingang (rote Punkte) eine Verbindung zu einem Baustein haben.\n"
                     "Wenn der Eingang nicht benutzt werden soll, dann kann ein NUM-Baustein mit dem Wert 0 "
                     "benutzt werden.\n");
    EXPECT_THROW(readFileBytes(imageFile), Error) << "no image is written on failure";

    r = run({"compile", saveProject("d.v7k", false, true)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Das Objekt BOOLTEST wird noch nicht von der Aktuellen V7300-NET-IO Version unterstüzt!\n");
}

TEST_F(CompileCli, ChecksumPrintsGetCrc) {
    const std::string project = saveProject("e.v7k");
    const Result r = run({"checksum", project});
    EXPECT_EQ(r.status, 0) << r.err;
    test::RecordingMessagePort port;
    TLogic logic(lib(), port);
    logic.NewProject();
    ASSERT_TRUE(OpenProjectFile(logic, project));
    EXPECT_NE(GetCrc(logic), 0);
    EXPECT_EQ(r.out, std::to_string(GetCrc(logic)) + "\n");
}

TEST_F(CompileCli, UnreadableProjectAndBadUsage) {
    EXPECT_EQ(run({"compile", dir.file("missing.v7k")}).status, 1);
    EXPECT_EQ(run({"checksum", dir.file("missing.v7k")}).status, 1);
    EXPECT_EQ(run({"compile"}).status, 2);
    EXPECT_EQ(run({"checksum", "a.v7k", "b.v7k"}).status, 2);
    EXPECT_EQ(run({"compile", "a.v7k", "-o"}).status, 2);
}

TEST_F(CompileCli, AnOpenRelayInputBeforeAWiredOneIsAHintAndTheCompileSucceeds) {
    test::writeDefinition(lib(), "RELAY", {"-NAME", "RELAY", "-IN", "3", "-OUT", "1", "-Y", "4", "---"});
    test::RecordingMessagePort port;
    TLogic logic(lib(), port);
    logic.NewProject();
    logic.Add_objekt("NUM", "", 5, 5);
    logic.Add_objekt("RELAY", "", 15, 5);
    ASSERT_GE(logic.add_verbinder("NUM1", 0, 1, "RELAY1"), 0);
    SaveXml(logic, dir.file("relay.v7k"));
    const Result r = run({"compile", dir.file("relay.v7k")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("2 / 100 [", 0), 0u) << r.out;
    EXPECT_EQ(r.err,
              "Hinweis: RELAY1: Eingang A1 ist offen, auf dem V7300-NET-IO rücken die folgenden Eingänge nach.\n");
}

} // namespace
} // namespace v7300
