// v7300 render: the picture formats, the simulated state and the failures.
#include "core/BmpWriter.h"
#include "core/Image.h"
#include "core/NumberFormat.h"
#include "model/Logic.h"
#include "model/LogicRenderer.h"
#include "project/XmlProject.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <jpeglib.h>

namespace v7300::test {
namespace {

class RenderCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDecimalSeparator(',');
        writeDefinition(lib(), "IN", {"-NAME", "IN", "-X", "4", "-Y", "2", "-IN", "0", "-OUT", "1", "-VARS",
                                      "INTYPE TYPE 0", "---", "% $_A1 = $_E1"});
        writePng(lib() + "/IN/IN0.png", 40, 20, 0xFF0000FFu);
        writePng(lib() + "/IN/IN0_.png", 40, 20, 0xFFFFFF00u);
        writeDefinition(lib(), "LAMP", {"-NAME", "LAMP", "-X", "4", "-Y", "2", "-IN", "1", "-OUT", "1", "---",
                                        "% $_A1 = $_E1"});
    }

    std::string lib() const { return dir.file("lib"); }

    // IN1 at (20, 20) wired to LAMP1 at (200, 20).
    std::string project() {
        TLogic logic(lib(), messages);
        logic.NewProject();
        EXPECT_GE(logic.Add_objekt("IN", "IN1", 2, 2), 0);
        EXPECT_GE(logic.Add_objekt("LAMP", "LAMP1", 20, 2), 0);
        EXPECT_GE(logic.add_verbinder("IN1", 0, 0, "LAMP1"), 0);
        const std::string file = dir.file("p.v7k");
        SaveXml(logic, file);
        return file;
    }

    int run(std::vector<std::string> args) {
        last = runCli(std::move(args), lib());
        return last.status;
    }

    // The middle of the wire between IN1's output and LAMP1's input.
    static std::uint32_t wirePixel(const Image& img) { return img.pixel(120, 30) & 0xFFFFFF; }

    TempDir dir;
    RecordingMessagePort messages;
    CliResult last;
};

std::uint32_t As16(std::uint32_t rgb) { return fromRgb565(toRgb565(rgb)) & 0xFFFFFF; }

TEST_F(RenderCommandTest, PngShowsTheEditingDiagram) {
    const std::string png = dir.file("d.png");
    ASSERT_EQ(run({"render", project(), "-o", png}), 0) << last.err;
    const Image img = decodePng(png);
    EXPECT_EQ(img.width, 2000);
    EXPECT_EQ(img.height, 2000);
    EXPECT_EQ(img.pixel(30, 25) & 0xFFFFFF, As16(0x0000FF)) << "IN0 picture";
    EXPECT_EQ(wirePixel(img), As16(DiagramColors::WireEditing));
    EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, As16(DiagramColors::GridDot));
}

TEST_F(RenderCommandTest, SimulatedRenderShowsStateAfterActions) {
    const std::string png = dir.file("s.png");
    ASSERT_EQ(run({"render", project(), "-o", png, "--simulate-seconds", "1", "--at", "0.2:toggle:IN1"}), 0)
        << last.err;
    const Image img = decodePng(png);
    EXPECT_EQ(img.pixel(30, 25) & 0xFFFFFF, As16(0xFFFF00)) << "IN0_ while on";
    EXPECT_EQ(wirePixel(img), As16(DiagramColors::WireOn));
    ASSERT_EQ(run({"render", project(), "-o", png, "--simulate-seconds", "1"}), 0) << last.err;
    EXPECT_EQ(wirePixel(decodePng(png)), As16(DiagramColors::WireOff));
}

TEST_F(RenderCommandTest, JpegAndBmpByExtension) {
    const std::string proj = project();
    ASSERT_EQ(run({"render", proj, "-o", dir.file("d.jpg")}), 0) << last.err;
    const std::string jpg = readFile(dir.file("d.jpg"));
    jpeg_decompress_struct info{};
    jpeg_error_mgr jerr{};
    info.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpg.data()), static_cast<unsigned long>(jpg.size()));
    ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
    EXPECT_EQ(info.image_width, 2000u);
    EXPECT_EQ(info.image_height, 2000u);
    jpeg_destroy_decompress(&info);

    ASSERT_EQ(run({"render", proj, "-o", dir.file("d.bmp")}), 0) << last.err;
    const std::string bmp = readFile(dir.file("d.bmp"));
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.size(), 66u + 2000u * 2000u * 2u);
}

TEST_F(RenderCommandTest, FailuresExitWithMessageAndWriteNothing) {
    const std::string proj = project();
    EXPECT_EQ(run({"render", proj, "-o", dir.file("d.gif")}), 2);
    EXPECT_EQ(run({"render", proj}), 2);
    EXPECT_EQ(run({"render", proj, "-o", dir.file("d.png"), "--at", "1:toggle:IN1"}), 2);
    EXPECT_EQ(run({"render", dir.file("fehlt.v7k"), "-o", dir.file("d.png")}), 1);
    EXPECT_FALSE(last.err.empty());
    EXPECT_EQ(run({"render", proj, "-o", dir.file("kein/ordner/d.png")}), 1);
    EXPECT_NE(last.err.find("kann nicht geschrieben werden"), std::string::npos) << last.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.gif")));
}

TEST_F(RenderCommandTest, AnUnreadableLibraryPictureFailsTheJob) {
    const std::string proj = project();
    writeFile(lib() + "/LAMP/LAMP.png", "kein PNG");
    EXPECT_EQ(run({"render", proj, "-o", dir.file("d.png")}), 1);
    EXPECT_EQ(last.err, "Fehler: Das Bild " + lib() + "/LAMP/LAMP.png kann nicht gelesen werden.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.png")));
}

} // namespace
} // namespace v7300::test
