#include "ProjectTestFixture.h"

#include "core/TextCodec.h"
#include "project/InvertedHex.h"
#include "project/XmlProject.h"

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

namespace v7300::test {
namespace {

using ::testing::ElementsAre;

class XmlProjectTest : public ProjectTest {
protected:
    // Writes a .v7k file holding the XML text.
    std::string project(const std::string& xml, const std::string& name = "p.v7k") {
        const std::string path = dir.file(name);
        writeFile(path, EncodeProjectFile(xml));
        return path;
    }

    // A file of the current version with the given body inside the root element.
    std::string projectWith(const std::string& body, const std::string& version = "2.2.2") {
        return project("<?xml version=\"1.0\"?><v7300><version>" + version + "</version>" + body + "</v7300>");
    }

    // A document that holds something, to see what survives a failed open.
    void fillExisting() {
        logic->Add_objekt("AND", "AND9", 10, 10);
        logic->DeviceAddress = "10.0.0.1";
        logic->ShownTexts[0].name = "Alt";
        port.messages.clear();
    }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& c : logic->Components) out.push_back(c.Name);
        return out;
    }

    static std::string component(const std::string& name, const std::string& type, const std::string& vars = "",
                                 const std::string& left = "5", const std::string& top = "6") {
        return "<component><name>" + name + "</name><type>" + type + "</type><left>" + left + "</left><top>" + top +
               "</top><variables>" + vars + "</variables></component>";
    }
    static std::string var(const std::string& value) {
        return "<variable><name>X</name><type>INT</type><value>" + value + "</value></variable>";
    }
};

TEST_F(XmlProjectTest, RoundTripKeepsEveryComponentWireAndText) {
    const char* types[] = {"AND", "OR", "INV", "TIMER", "IN", "OUT", "NUM", "TXT", "BOOLTEST", "WIDE", "ZEIT"};
    int left = 2;
    for (const char* t : types) logic->Add_objekt(t, "", left += 6, 4);
    logic->Add_objekt("TXT", "TXTÄü7", 40, 40);
    logic->FindComponent("TIMER1")->Variables.Items(0).SetValue("25");
    logic->FindComponent("NUM1")->Variables.Items(0).SetValue("-7");
    logic->FindComponent("IN1")->Variables.Items(0).SetValue("Küche & <Flur>");
    logic->FindComponent("TXTÄü7")->Variables.Items(0).SetValue("Größe € 5 \"x\"");
    logic->FindComponent("BOOLTEST1")->Variables.Items(0).SetValue("0");
    ASSERT_GT(logic->add_verbinder("AND1", 0, 0, "INV1"), 0);
    ASSERT_GT(logic->add_verbinder("TIMER1", 0, 1, "AND1"), 0);
    logic->Wires.AddWire("GONE1", 3, 7, "NOWHERE");
    logic->DeviceAddress = "192.168.1.5";
    logic->ShownTexts[0].name = "Küche";
    logic->ShownTexts[0].slots[0] = TOutputs{"AND1", 0, "Tür"};
    logic->ShownTexts[5].slots[7] = TOutputs{"TIMER1", 2, "Ölstand"};
    const std::string path = dir.file("round.v7k");
    SaveXml(*logic, path);

    RecordingMessagePort otherPort;
    auto reopened = makeLogic(otherPort);
    ASSERT_TRUE(OpenXml(*reopened, path));
    EXPECT_TRUE(otherPort.messages.empty());
    // Values travel as GetValue gives them; everything else of a component is rebuilt from the library.
    EXPECT_EQ(describe(*reopened), describe(*logic));
    EXPECT_EQ(reopened->Wires, logic->Wires);
    EXPECT_EQ(reopened->ShownTexts, logic->ShownTexts);
    EXPECT_EQ(reopened->DeviceAddress, "192.168.1.5");
}

TEST_F(XmlProjectTest, FileIsOneLineOfUpperCaseInvertedHexOfWindows1252) {
    logic->Add_objekt("TXT", "TXT1", 0, 0);
    logic->FindComponent("TXT1")->Variables.Items(0).SetValue("ä");
    const std::string path = dir.file("a.v7k");
    SaveXml(*logic, path);
    const std::string bytes = readFile(path);
    EXPECT_EQ(bytes.rfind("C3C0879293", 0), 0u); // "<?xml"
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(bytes.find_first_not_of("0123456789ABCDEF"), bytes.size() - 2);

    const std::string xml = *DecodeInvertedHex(bytes);
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\"?>\r\n", 0), 0u);
    EXPECT_NE(xml.find("<value>\xE4</value>"), std::string::npos); // ä is one byte, 1B in the file
    for (std::size_t i = 0; i < xml.size(); ++i) {
        if (xml[i] == '\n') {
            ASSERT_EQ(xml[i - 1], '\r') << "bare LF at " << i;
        }
    }
}

TEST_F(XmlProjectTest, EmptyDiagramStillWritesAllContainersAndSixPagesOfEightSlots) {
    const std::string xml = BuildXmlText(*logic);
    for (const char* element : {"<version>2.2.2</version>", "<components/>", "<wire/>", "<options>",
                                "<V7300NETIO.IP", "<shownTexts>", "<page0 name=\"\">", "<page5 name=\"\">"})
        EXPECT_NE(xml.find(element), std::string::npos) << element;
    std::size_t slots = 0;
    for (std::size_t pos = 0; (pos = xml.find("<object", pos)) != std::string::npos; ++pos) ++slots;
    EXPECT_EQ(slots, 48u);
    EXPECT_EQ(xml.find("<page6"), std::string::npos);
}

TEST_F(XmlProjectTest, LowerCaseDigitsAreRead) {
    const std::string xml = "<?xml version=\"1.0\"?><v7300><version>2.2.2</version><options>"
                            "<V7300NETIO.IP>T\xE4st</V7300NETIO.IP></options></v7300>";
    std::string hex = EncodeInvertedHex(xml);
    for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    writeFile(dir.file("lower.v7k"), hex + "\r\n");
    ASSERT_TRUE(OpenXml(*logic, dir.file("lower.v7k")));
    EXPECT_EQ(logic->DeviceAddress, "Täst");
}

TEST_F(XmlProjectTest, FilesNotInTheFormatLeaveTheDocumentUntouched) {
    std::string deep = "<?xml version=\"1.0\"?>";
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"not hexadecimal", "C3C0XY\r\n"},
        {"odd number of digits", EncodeInvertedHex("<a/>") + "F\r\n"},
        {"empty file", ""},
        {"not well-formed", EncodeInvertedHex("<?xml version=\"1.0\"?><v7300><version>")},
        {"absurdly deep", EncodeInvertedHex(deep)},
        {"plain XML text", "<?xml version=\"1.0\"?><v7300/>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fillExisting();
        writeFile(dir.file("bad.v7k"), c.bytes);
        EXPECT_FALSE(OpenXml(*logic, dir.file("bad.v7k")));
        ASSERT_EQ(port.messages.size(), 1u);
        EXPECT_EQ(port.messages[0].caption, "Fehler");
        EXPECT_EQ(port.messages[0].icon, MsgIcon::Error);
        EXPECT_EQ(port.messages[0].text, "Die Datei entspricht nicht dem V7300 (v7k) Format!");
        EXPECT_THAT(names(), ElementsAre("AND9"));
        EXPECT_EQ(logic->DeviceAddress, "10.0.0.1");
        logic->Init();
    }
}

TEST_F(XmlProjectTest, MissingFileGivesTheFormatMessage) {
    EXPECT_FALSE(OpenXml(*logic, dir.file("absent.v7k")));
    EXPECT_THAT(port.texts(), ElementsAre("Die Datei entspricht nicht dem V7300 (v7k) Format!"));
}

TEST_F(XmlProjectTest, EndlessFileIsReadOnlyUpToTheLimit) {
    fillExisting();
    EXPECT_FALSE(OpenXml(*logic, "/dev/zero"));
    EXPECT_THAT(port.texts(), ElementsAre("Die Datei entspricht nicht dem V7300 (v7k) Format!"));
    EXPECT_THAT(names(), ElementsAre("AND9"));
}

TEST_F(XmlProjectTest, ExternalEntitiesAreNeverFetched) {
    writeFile(dir.file("secret.txt"), "GEHEIM");
    const std::string path =
        project("<?xml version=\"1.0\"?><!DOCTYPE v7300 [<!ENTITY s SYSTEM \"file://" + dir.file("secret.txt") +
                "\">]><v7300><version>2.2.2</version><options><V7300NETIO.IP>&s;</V7300NETIO.IP></options></v7300>");
    // The file opens like any other; only the entity's text stays outside.
    ASSERT_TRUE(OpenXml(*logic, path));
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(logic->DeviceAddress.find("GEHEIM"), std::string::npos);
}

TEST_F(XmlProjectTest, TextWithADoctypeIsRefusedAsNotInTheFormat) {
    const std::string body = "<v7300><version>2.2.2</version><components>" + component("AND1", "AND") +
                             "</components><options><V7300NETIO.IP>&ip;</V7300NETIO.IP></options></v7300>";
    for (const std::string doctype : {"<!DOCTYPE v7300 [<!ENTITY ip \"10.0.0.9\">]>", "<!DOCTYPE v7300>"}) {
        SCOPED_TRACE(doctype);
        fillExisting();
        EXPECT_FALSE(OpenXml(*logic, project("<?xml version=\"1.0\"?>" + doctype + body)));
        EXPECT_THAT(port.texts(), ElementsAre("Die Datei entspricht nicht dem V7300 (v7k) Format!"));
        EXPECT_THAT(names(), ElementsAre("AND9"));
        EXPECT_EQ(logic->DeviceAddress, "10.0.0.1");
        logic->Init();
    }
}

TEST_F(XmlProjectTest, NewerVersionAsksAndNoLeavesAnEmptyDiagram) {
    fillExisting();
    const std::string path = projectWith("<components>" + component("AND1", "AND") + "</components>", "2.2.3");
    port.answerNext(MbNo);
    EXPECT_FALSE(OpenXml(*logic, path));
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].caption, "Hinweis");
    EXPECT_EQ(port.messages[0].buttons, unsigned(MbYes | MbNo));
    EXPECT_EQ(port.messages[0].text, "Die Datei wurde mit einer neueren Version gespeichert (2.2.3)\r\n"
                                     "Um diese Datei erfolgreich zu öffnen müssen Sie ihre Version updaten!\r\n"
                                     "Trotzdem öffnen?");
    EXPECT_TRUE(names().empty());

    port.answerNext(MbYes);
    EXPECT_TRUE(OpenXml(*logic, path));
    EXPECT_THAT(names(), ElementsAre("AND1"));
}

TEST_F(XmlProjectTest, VersionsCompareAsPlainStrings) {
    // 2.10 and 2.2.10 sort before 2.2.2 (and after 2.1.7): no question, no conversion.
    for (const char* version : {"2.10", "2.2.10", "2.2.2", "2.1.7"}) {
        SCOPED_TRACE(version);
        port.messages.clear();
        EXPECT_TRUE(OpenXml(*logic, projectWith("", version)));
        EXPECT_TRUE(port.messages.empty());
    }
}

TEST_F(XmlProjectTest, OlderFilesConvertTheInputNumberOfIN1ToIN8) {
    const std::string body = "<components>" + component("IN3", "IN") + component("in1", "IN") +
                             component("IN9", "IN") + component("IN1", "IN") + "</components>";
    for (const std::string version : {"2.1.6", ""}) {
        SCOPED_TRACE(version);
        port.messages.clear();
        const std::string path = version.empty() ? project("<?xml version=\"1.0\"?><v7300>" + body + "</v7300>")
                                                 : projectWith(body, version);
        ASSERT_TRUE(OpenXml(*logic, path));
        ASSERT_EQ(port.messages.size(), 1u);
        EXPECT_EQ(port.messages[0].caption, "Hinweis");
        EXPECT_EQ(port.messages[0].buttons, unsigned(MbOk));
        EXPECT_EQ(port.messages[0].text, "Die Datei wurde mit der Version " + version +
                                             " gespeichert.\r\nDie Inputs werden auf das neue Format konvertiert.");
        EXPECT_EQ(logic->FindComponent("IN3")->Variables.Items(2).GetValue(), "3");
        EXPECT_EQ(logic->FindComponent("IN1")->Variables.Items(2).GetValue(), "1");
        EXPECT_EQ(logic->FindComponent("in1")->Variables.Items(2).GetValue(), "0");
        EXPECT_EQ(logic->FindComponent("IN9")->Variables.Items(2).GetValue(), "0");
    }
}

TEST_F(XmlProjectTest, OlderFilesConvertOnlyComponentsOfTypeIN) {
    const std::string body = "<components>" + component("IN5", "LCD", var("Text") + var("2") + var("7")) +
                             component("IN1", "NUM", var("42")) + component("IN2", "TXT", var("Notiz")) +
                             component("IN6", "OUT", var("4")) + component("IN3", "IN") + "</components>";
    ASSERT_TRUE(OpenXml(*logic, projectWith(body, "2.1.6")));
    EXPECT_EQ(logic->FindComponent("IN5")->Variables.Items(2).GetValue(), "7");
    EXPECT_EQ(logic->FindComponent("IN1")->Variables.Items(0).GetValue(), "42");
    EXPECT_EQ(logic->FindComponent("IN2")->Variables.Items(0).GetValue(), "Notiz");
    EXPECT_EQ(logic->FindComponent("IN6")->Variables.Items(0).GetValue(), "4");
    EXPECT_EQ(logic->FindComponent("IN3")->Variables.Items(2).GetValue(), "3");
}

TEST_F(XmlProjectTest, ValuesAreAssignedByPositionAndRefusedOnesKeepTheDefault) {
    const std::string path = projectWith("<components>" + component("TIMER1", "TIMER", var("abc")) +
                                         component("IN1", "IN", var("Tür") + var("1") + var("x")) + "</components>");
    ASSERT_TRUE(OpenXml(*logic, path));
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(logic->FindComponent("TIMER1")->Variables.Items(0).GetValue(), "10");
    const auto& in = logic->FindComponent("IN1")->Variables;
    EXPECT_EQ(in.Items(0).GetValue(), "Tür");
    EXPECT_EQ(in.Items(1).GetValue(), "1");
    EXPECT_EQ(in.Items(2).GetValue(), "0");
}

TEST_F(XmlProjectTest, PositionZeroTakesThePlacementDefaults) {
    ASSERT_TRUE(OpenXml(*logic, projectWith("<components>" + component("AND1", "AND", "", "0", "0") + "</components>")));
    EXPECT_EQ(logic->Components.Items(0).Left, 7);
    EXPECT_EQ(logic->Components.Items(0).Top, 3);
}

TEST_F(XmlProjectTest, PositionsBeyondAMillionPixelsAreRefusedAsNotInTheFormat) {
    auto wireWithPoint = [](const std::string& x, const std::string& y) {
        return "<wire><wire><output>AND1</output><outputID>0</outputID><input>AND1</input><inputID>0</inputID>"
               "<points><point x=\"" + x + "\" y=\"" + y + "\"/></points></wire></wire>";
    };
    const struct {
        const char* what;
        std::string body;
        bool opens;
    } cases[] = {
        {"left at the largest int", "<components>" + component("AND1", "AND", "", "2147483647") + "</components>", false},
        {"top at the smallest int", "<components>" + component("AND1", "AND", "", "5", "-2147483648") + "</components>",
         false},
        {"left 100001", "<components>" + component("AND1", "AND", "", "100001") + "</components>", false},
        {"left 100000 and top -100000",
         "<components>" + component("AND1", "AND", "", "100000", "-100000") + "</components>", true},
        {"point x 1000001", wireWithPoint("1000001", "10"), false},
        {"point y -1000001", wireWithPoint("10", "-1000001"), false},
        {"point at the limits", wireWithPoint("1000000", "-1000000"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fillExisting();
        EXPECT_EQ(OpenXml(*logic, projectWith(c.body)), c.opens);
        if (c.opens) {
            EXPECT_TRUE(port.messages.empty());
        } else {
            EXPECT_THAT(port.texts(), ElementsAre("Die Datei entspricht nicht dem V7300 (v7k) Format!"));
            EXPECT_THAT(names(), ElementsAre("AND9"));
        }
        logic->Init();
    }
}

TEST_F(XmlProjectTest, PointsWithAnEmptyCoordinateAreSkipped) {
    const std::string path = projectWith(
        "<wire><wire><output>A1</output><outputID>0</outputID><input>B1</input><inputID>2</inputID><points>"
        "<point x=\"10\" y=\"20\"/><point x=\"\" y=\"30\"/><point y=\"40\"/><point x=\"50\" y=\"\"/>"
        "<point x=\"-60\" y=\"70\"/></points></wire><anything><inputID>1</inputID><outputID>0</outputID></anything>"
        "</wire>");
    ASSERT_TRUE(OpenXml(*logic, path));
    ASSERT_EQ(logic->Wires.Count(), 2);
    const TWire& w = logic->Wires.Items(0);
    EXPECT_EQ(w.Output, "A1");
    EXPECT_EQ(w.Input, "B1");
    EXPECT_EQ(w.InputID, 2);
    EXPECT_THAT(w.Points, ElementsAre(TPointEx{10, 20}, TPointEx{-60, 70}));
    EXPECT_EQ(logic->Wires.Items(1).InputID, 1);
}

TEST_F(XmlProjectTest, DisplaySlotsWithoutChildrenStayEmpty) {
    fillExisting();
    const std::string path =
        projectWith("<shownTexts><page1 name=\"Seite\"><object0/><object3><component>AND1</component><output/>"
                    "<text>Wert</text></object3></page1><page2/></shownTexts>");
    ASSERT_TRUE(OpenXml(*logic, path));
    EXPECT_EQ(logic->ShownTexts[0], TShownOutput{});
    EXPECT_EQ(logic->ShownTexts[1].name, "Seite");
    EXPECT_FALSE(logic->ShownTexts[1].slots[0].has_value());
    ASSERT_TRUE(logic->ShownTexts[1].slots[3].has_value());
    EXPECT_EQ(*logic->ShownTexts[1].slots[3], (TOutputs{"AND1", 0, "Wert"}));
}

TEST_F(XmlProjectTest, ContentFailuresStopReadingAndKeepWhatWasRead) {
    const std::string good = component("AND1", "AND");
    const std::string after = component("OR1", "OR") + "</components><options><V7300NETIO.IP>1.2.3.4"
                                                       "</V7300NETIO.IP></options><shownTexts><page0 name=\"Neu\"/>"
                                                       "</shownTexts>";
    const struct {
        const char* what;
        std::string failing;
        std::vector<std::string> before; // messages before the final one
        std::vector<std::string> kept;
    } cases[] = {
        {"left no integer", component("AND2", "AND", "", "x"), {}, {"AND1"}},
        {"BOOL no truth value", component("BOOLTEST1", "BOOLTEST", var("vielleicht")), {}, {"AND1", "BOOLTEST1"}},
        {"name used twice", component("AND1", "AND"), {}, {"AND1", "AND1"}},
        {"too many variables", component("TIMER1", "TIMER", var("1") + var("2")), {}, {"AND1", "TIMER1"}},
        {"variables for an unknown type",
         component("XYZ1", "XYZ", var("1")),
         {"Der Baustein XYZ konnte nicht gefunden werden!"},
         {"AND1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fillExisting();
        EXPECT_FALSE(OpenXml(*logic, projectWith("<components>" + good + c.failing + after)));
        std::vector<std::string> expected = c.before;
        expected.push_back("Die Datei kann nicht geöffnet werden!");
        EXPECT_EQ(port.texts(), expected);
        EXPECT_EQ(port.messages.back().caption, "");
        EXPECT_EQ(names(), c.kept);
        EXPECT_EQ(logic->DeviceAddress, "10.0.0.1");
        EXPECT_EQ(logic->ShownTexts[0].name, "Alt");
        logic->Init();
    }
}

TEST_F(XmlProjectTest, UnknownTypeWithoutVariablesIsSkippedAndReadingGoesOn) {
    ASSERT_TRUE(OpenXml(*logic, projectWith("<components>" + component("XYZ1", "XYZ") + component("OR1", "OR") +
                                            "</components>")));
    EXPECT_THAT(port.texts(), ElementsAre("Der Baustein XYZ konnte nicht gefunden werden!"));
    EXPECT_THAT(names(), ElementsAre("OR1"));
}

TEST_F(XmlProjectTest, TextsXmlCannotHoldAreStoredAsQuestionMarks) {
    logic->Add_objekt("TXT", "TXT1", 0, 0);
    logic->FindComponent("TXT1")->Variables.Items(0).SetValue("a\x01" "b\xE2\x82\xAC\xE2\x9C\x93");
    SaveXml(*logic, dir.file("ctl.v7k"));
    auto reopened = makeLogic(port);
    ASSERT_TRUE(OpenXml(*reopened, dir.file("ctl.v7k")));
    EXPECT_EQ(reopened->FindComponent("TXT1")->Variables.Items(0).GetValue(), "a?b€?");
}

TEST_F(XmlProjectTest, FailedSaveLeavesTheOldFileByteForByte) {
    const std::string path = dir.file("keep.v7k");
    SaveXml(*logic, path);
    const std::string old = readFile(path);
    for (int i = 0; i < 30; ++i) logic->Add_objekt("AND", "", 0, 0);

    // The file-size limit makes every write beyond it fail.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = old.size() + 16;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        SaveXml(*logic, path);
    } catch (const Error& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message, "In " + path + " kann nicht geschrieben werden");
    EXPECT_EQ(readFile(path), old);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u); // the project, no temporary left behind
}

TEST_F(XmlProjectTest, DumpTextIsTheDecodedXmlAsUtf8) {
    const std::string xml = "<?xml version=\"1.0\"?>\r\n<v7300><version>Ä</version></v7300>\r\n";
    const auto decoded = DecodeProjectFile(EncodeProjectFile(xml));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, xml);
    EXPECT_FALSE(DecodeProjectFile(EncodeInvertedHex("<v7300>")).has_value());
}

} // namespace
} // namespace v7300::test
