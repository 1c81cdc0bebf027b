// The clipboard's form of a diagram fragment and its way back into a document.
#include "ProjectTestFixture.h"

#include "model/DiagramFragment.h"
#include "project/XmlProject.h"

namespace v7300::test {
namespace {

class FragmentXmlTest : public ProjectTest {};

TEST_F(FragmentXmlTest, WrittenFragmentReadsBackWithValuesWiresAndUmlauts) {
    logic->Add_objekt("AND", "", 10, 10);
    logic->Add_objekt("TXT", "", 30, 10);
    logic->Add_objekt("AND", "", 50, 10);
    logic->Components.Items(1).Variables.Items(0).SetValue("Tür öffnen");
    logic->add_verbinder("AND1", 0, 2, "AND2");
    logic->Wires.Items(0).Points.push_back({490, 140});
    const TDiagramFragment fragment = CopyFragment(*logic, {"AND1", "TXT1", "AND2"});
    const std::string xml = BuildFragmentXml(fragment);
    EXPECT_TRUE(LooksLikeFragmentXml(xml));
    EXPECT_EQ(xml.find("<options>"), std::string::npos);
    EXPECT_EQ(ReadFragmentXml(xml), fragment);
}

TEST_F(FragmentXmlTest, TextsThatAreNoFragmentAreRefusedWithTheReadersMessage) {
    const std::string component =
        "<component><name>A</name><type>AND</type><left>%L</left><top>1</top></component>";
    auto with = [&](const std::string& left) {
        std::string c = component;
        c.replace(c.find("%L"), 2, left);
        return "<v7300><components>" + c + "</components></v7300>";
    };
    const std::string refused[] = {
        "",
        "Hallo Welt",
        "<v7300><components>",                                              // not well-formed
        "<other><components/></other>",                                     // another root
        "<v7300><version>2.2.2</version></v7300>",                          // no components
        "<!DOCTYPE v7300 [<!ENTITY x \"1\">]><v7300><components/></v7300>", // a document type
        with("2147483647"),                                                 // no diagram has it
        with("abc"),
        "<v7300><components><component><name>A</name></component></components></v7300>", // no type
    };
    for (const std::string& text : refused) {
        try {
            ReadFragmentXml(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), kXmlFormatMessage) << text;
        }
    }
    EXPECT_EQ(ReadFragmentXml(with("-5")).Components.at(0).Left, -5);
}

} // namespace
} // namespace v7300::test
