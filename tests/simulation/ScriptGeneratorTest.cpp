#include "simulation/ScriptGenerator.h"

#include "SimTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using simtest::makeComponent;
using Lines = std::vector<std::string>;

class ScriptGeneratorTest : public ::testing::Test {
protected:
    test::RecordingMessagePort messages;
    TLogic logic{TLogicComponentLibrary{}, messages};
    void SetUp() override { logic.NewProject(); }
    void add(TLogicComponent c) { logic.Components.Add(std::move(c)); }
};

TEST_F(ScriptGeneratorTest, WorkedExample) {
    add(makeComponent("SW1", {"% DIM $_A1", "A1 $_A1 = §WERT", "E1 $_A1 = $_E1"}, {{"WERT", "1"}}));
    add(makeComponent("LAMP1", {"E1 $X = $_E1", "% $Y += 1"}));
    logic.Wires.AddWire("SW1", 0, 0, "LAMP1");
    EXPECT_EQ(create_script(logic), (Lines{"DIM $SW1__A1", "//START DES SCRIPTS", "DO", "$SW1__A1 = 1",
                                           "$LAMP1_X = $SW1__A1", "$LAMP1_Y += 1", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, EmptyDiagramGivesTheFrameOnly) {
    EXPECT_EQ(create_script(logic), (Lines{"//START DES SCRIPTS", "DO", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, LineForAnUnwiredInputAppearsOnceTheWireIsDrawn) {
    add(makeComponent("SRC1", {"% $_A1 = 1"}));
    add(makeComponent("G1", {"E1 $_A1 = $_E1", "% $_A1 = $_E1"}));
    EXPECT_EQ(create_script(logic)[2], "$SRC1__A1 = 1");
    EXPECT_EQ(create_script(logic)[3], "$G1__A1 = $G1__E1");
    logic.Wires.AddWire("SRC1", 0, 0, "G1");
    EXPECT_EQ(create_script(logic), (Lines{"//START DES SCRIPTS", "DO", "$SRC1__A1 = 1", "$G1__A1 = $SRC1__A1",
                                           "$G1__A1 = $SRC1__A1", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, DimLinesStandAboveInReverseGenerationOrder) {
    add(makeComponent("A1", {"% DIM $FIRST"}));
    add(makeComponent("B1", {"% DIM INT $SECOND", "% $X = 1"}));
    EXPECT_EQ(create_script(logic), (Lines{"DIM INT $B1_SECOND", "DIM $A1_FIRST", "//START DES SCRIPTS", "DO",
                                           "$B1_X = 1", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, DimLineKeepsInputReferenceUnrenamed) {
    add(makeComponent("S1", {"% X"}));
    add(makeComponent("D1", {"% DIM $_E1"}));
    logic.Wires.AddWire("S1", 0, 0, "D1");
    EXPECT_EQ(create_script(logic).front(), "DIM $D1__E1");
}

TEST_F(ScriptGeneratorTest, OneOutputFeedsSeveralReadersAndAnyWireSatisfiesItsLabel) {
    add(makeComponent("S1", {"A1 $_A1 = 1"}));
    add(makeComponent("R1", {"E1 $V = $_E1"}));
    add(makeComponent("R2", {"E1 $V = $_E1"}));
    logic.Wires.AddWire("S1", 0, 0, "R1");
    logic.Wires.AddWire("S1", 0, 0, "R2");
    EXPECT_EQ(create_script(logic),
              (Lines{"//START DES SCRIPTS", "DO", "$S1__A1 = 1", "$R1_V = $S1__A1", "$R2_V = $S1__A1", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, EachWireEndCountsByItself) {
    add(makeComponent("S1", {"A2 $OUT = 1"}));
    add(makeComponent("R1", {"E3 $IN = $_E3"}));
    logic.Wires.AddWire("S1", 1, 0, "GONE1"); // input end names no component
    logic.Wires.AddWire("GONE2", 4, 2, "R1"); // output end names no component
    EXPECT_EQ(create_script(logic),
              (Lines{"//START DES SCRIPTS", "DO", "$S1_OUT = 1", "$R1_IN = $GONE2__A5", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, WireFromAComponentToItselfSatisfiesBothEnds) {
    add(makeComponent("L1", {"E1A1 $_A1 = $_E1"}));
    logic.Wires.AddWire("L1", 0, 0, "L1");
    EXPECT_EQ(create_script(logic)[2], "$L1__A1 = $L1__A1");
}

TEST_F(ScriptGeneratorTest, PastedValuesKeepDollarAndHash) {
    add(makeComponent("T1", {"% $A = §P", "% $B = §Q"}, {{"P", "$X"}, {"Q", "#Y"}}));
    EXPECT_EQ(create_script(logic), (Lines{"//START DES SCRIPTS", "DO", "$T1_A = $X", "$T1_B = #Y", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, VariablesReplacedInListOrder) {
    add(makeComponent("W1", {"% $A = §TIME"}, {{"T", "7"}, {"TIME", "120000"}}));
    EXPECT_EQ(create_script(logic)[2], "$W1_A = 7IME");
}

TEST_F(ScriptGeneratorTest, NumericValuesArePastedWithoutBlanks) {
    auto c = makeComponent("N1", {"% $A = §V", "% $B = §S"}, {{"V", "5"}});
    c.Variables.Add(TLogicComponentDefine::Create("S", " a b ", "STR"));
    add(std::move(c));
    const auto script = create_script(logic);
    EXPECT_EQ(script[2], "$N1_A = 5");
    EXPECT_EQ(script[3], "$N1_B =  a b ");
}

TEST_F(ScriptGeneratorTest, LabelForms) {
    add(makeComponent("C1", {"NOBLANKLINE", "%E1% $A = 1", "E1 ", "% $B = 2", "e1 $C = 3"}));
    logic.Wires.AddWire("X1", 0, 0, "C1");
    // A line without blank is used whole; "%" is ignored anywhere; empty statements are dropped;
    // labels are read in upper case.
    EXPECT_EQ(create_script(logic),
              (Lines{"//START DES SCRIPTS", "DO", "NOBLANKLINE", "$C1_A = 1", "$C1_B = 2", "$C1_C = 3", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, TwoDigitPinDeletionAlsoCutsInsideLongerNumbers) {
    add(makeComponent("M1", {"E10 $A = 1", "E2 $B = 1"}));
    logic.Wires.AddWire("X1", 0, 0, "M1");
    logic.Wires.AddWire("X1", 0, 9, "M1");
    logic.Wires.AddWire("X1", 0, 1, "M1");
    // Wiring input 1 turns the label E10 into 0, which the wire to input 10 no longer matches.
    EXPECT_EQ(create_script(logic), (Lines{"//START DES SCRIPTS", "DO", "$M1_B = 1", "LOOP"}));
}

TEST_F(ScriptGeneratorTest, WiredNamesAreNotPrefixedWithTheReadersName) {
    add(makeComponent("R1", {"E1 $V = $_E1$_E1"}));
    logic.Wires.AddWire("Q_E1", 0, 0, "R1");
    EXPECT_EQ(create_script(logic)[2], "$R1_V = $Q_E1__A1$Q_E1__A1");
}

} // namespace
} // namespace v7300
