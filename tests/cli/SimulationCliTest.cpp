#include "core/NumberFormat.h"
#include "model/Logic.h"
#include "project/XmlProject.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>


namespace v7300::test {
namespace {

class SimulationCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDecimalSeparator(',');
        // A switch input and a lamp that counts its switch-ons.
        writeDefinition(lib(), "IN", {"-NAME", "IN", "-X", "4", "-Y", "2", "-IN", "0", "-OUT", "1", "-VARS",
                                      "INTYPE TYPE 0", "---", "% $_A1 = $_E1"});
        writeDefinition(lib(), "LAMP", {"-NAME", "LAMP", "-X", "4", "-Y", "2", "-IN", "1", "-OUT", "1", "---",
                                        "% DIM $N", "E1 IF $_E1 > $_A1", "E1 $N += 1", "E1 ENDIF",
                                        "E1 $_A1 = $_E1"});
    }
    void TearDown() override { setDecimalSeparator(','); }

    std::string lib() const { return dir.file("lib"); }

    std::string project(const std::string& inType = "0") {
        TLogic logic(lib(), messages);
        logic.NewProject();
        EXPECT_GE(logic.Add_objekt("IN", "IN1", 2, 2), 0);
        EXPECT_GE(logic.Add_objekt("LAMP", "LAMP1", 10, 2), 0);
        logic.Components.Items(0).Variables.FindByName("TYPE")->SetValue(inType);
        EXPECT_GE(logic.add_verbinder("IN1", 0, 0, "LAMP1"), 0);
        const std::string file = dir.file("p.v7k");
        SaveXml(logic, file);
        return file;
    }

    int run(std::vector<std::string> args) {
        last = runCli(std::move(args), lib());
        return last.status;
    }

    TempDir dir;
    RecordingMessagePort messages;
    CliResult last;
};

TEST_F(SimulationCliTest, ScriptPrintsTheGeneratedLines) {
    ASSERT_EQ(run({"script", project()}), 0) << last.err;
    EXPECT_EQ(last.out, "DIM $LAMP1_N\n//START DES SCRIPTS\nDO\n$IN1__A1 = $IN1__E1\nIF $IN1__A1 > $LAMP1__A1\n"
                         "$LAMP1_N += 1\nENDIF\n$LAMP1__A1 = $IN1__A1\nLOOP\n");
}

TEST_F(SimulationCliTest, RunScriptPrintsStoreAndLcd) {
    writeFile(dir.file("s.txt"), "DIM $A\r\n//START DES SCRIPTS\r\nDO\r\n$A += 1\r\n$B = $IN\r\n$B *= 1,5\r\n"
                                 "LCD $A 0 2 Z:\r\nEXEC /no/such/tool -x\r\nLOOP\r\n");
    ASSERT_EQ(run({"run-script", dir.file("s.txt"), "--cycles", "3", "--set", "$IN=3", "--set", "$A=10", "--time",
                   "2026-03-01T08:15:59", "--decimal-separator", ","}),
              0)
        << last.err;
    EXPECT_EQ(last.out, "$A=13\n$IN=3\n$BTIMER=0\n$TIME=081559\n$DAY=1\n$B=4,5\nLCD1=    12\nLCD2=\n");
    EXPECT_EQ(last.err, "EXEC: /no/such/tool -x\nEXEC: /no/such/tool -x\nEXEC: /no/such/tool -x\n");
}

TEST_F(SimulationCliTest, RunScriptDefaultsToOneCycleAndReportsAStall) {
    writeFile(dir.file("s.txt"), "$X = 1\n$Y += $X\n$Y = 0,5\n$Y += 1\n$Z = 1\n");
    ASSERT_EQ(run({"run-script", dir.file("s.txt"), "--cycles", "5"}), 0);
    EXPECT_EQ(last.out, "$BTIMER=1\n$TIME=120000\n$DAY=2\n$X=1\n$Y=0,5\nLCD1=  V7300-NET-IO  \nLCD2=_/|__________/|_\n");
    EXPECT_NE(last.err.find("stehen geblieben"), std::string::npos);
}

TEST_F(SimulationCliTest, SimulateAppliesTimedActionsAndWatches) {
    ASSERT_EQ(run({"simulate", project(), "--seconds", "1,5", "--at", "0.5:toggle:IN1", "--at", "1:toggle:IN1",
                   "--watch", "$LAMP1__A1,$LAMP1_N"}),
              0)
        << last.err;
    EXPECT_EQ(last.out, "t=0.660 $LAMP1__A1=1\nt=0.660 $LAMP1_N=1\nt=1.210 $LAMP1__A1=0\n$LAMP1__A1=0\n$LAMP1_N=1\n");
}

TEST_F(SimulationCliTest, SimulatePressPulsesTheInput) {
    ASSERT_EQ(run({"simulate", project("10"), "--cycles", "10", "--at", "0:press:IN1", "--watch", "$IN1__A1"}), 0);
    EXPECT_EQ(last.out, "t=0.110 $IN1__A1=1\nt=0.660 $IN1__A1=0\n$IN1__A1=0\n");
}

TEST_F(SimulationCliTest, SimulateWithoutWatchPrintsTheStore) {
    ASSERT_EQ(run({"simulate", project(), "--at", "0:value:IN1=7"}), 0);
    EXPECT_EQ(last.out, "$LAMP1_N=1\n$IN1__E1=7\n$BTIMER=1\n$TIME=120000\n$DAY=2\n$IN1__A1=7\n$LAMP1__A1=7\n"
                         "LCD1=  V7300-NET-IO  \nLCD2=_/|__________/|_\n");
}

TEST_F(SimulationCliTest, BadUsageExitsWithTwo) {
    writeFile(dir.file("s.txt"), "LOOP\n");
    const std::vector<std::vector<std::string>> cases = {
        {"run-script"},
        {"run-script", dir.file("s.txt"), "--time", "2026-02-30T10:00:00"},
        {"run-script", dir.file("s.txt"), "--time", "2026-01-01 10:00:00"},
        {"run-script", dir.file("s.txt"), "--cycles", "-1"},
        {"run-script", dir.file("s.txt"), "--set", "NOEQUALS"},
        {"run-script", dir.file("s.txt"), "--decimal-separator", ",,"},
        {"simulate", dir.file("p.v7k"), "--at", "1:jump:IN1"},
        {"simulate", dir.file("p.v7k"), "--at", "x:toggle:IN1"},
        {"simulate", dir.file("p.v7k"), "--seconds", "1", "--cycles", "2"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(c), 2) << c.back();
}

TEST_F(SimulationCliTest, MissingFilesFailWithOne) {
    EXPECT_EQ(run({"run-script", dir.file("none.txt")}), 1);
    EXPECT_EQ(run({"simulate", dir.file("none.v7k")}), 1);
    EXPECT_EQ(run({"script", dir.file("none.v7k")}), 1);
}

} // namespace
} // namespace v7300::test
