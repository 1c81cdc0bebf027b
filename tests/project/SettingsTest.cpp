#include "core/Error.h"
#include "core/TextCodec.h"
#include "project/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace v7300::test {
namespace {

using namespace settings;

class SettingsTest : public ::testing::Test {
protected:
    std::string path() const { return dir.file("config.ini"); }
    TempDir dir;
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults) {
    const TSettingsFile ini(path());
    EXPECT_TRUE(ini.ReadBool(kConfig, kInfo, true));
    EXPECT_TRUE(ini.ReadBool(kConfig, kRaster, true));
    EXPECT_TRUE(ini.ReadBool(kConfig, kMoveWindow, true));
    EXPECT_EQ(ini.ReadInteger(kConfig, kTop, 30), 30);
    EXPECT_EQ(ini.ReadInteger(kConfig, kWidth, 500), 500);
    EXPECT_EQ(ini.ReadString(kKey, kAendern, "E"), "E");
}

TEST_F(SettingsTest, ValueEncodings) {
    writeFile(path(), "[config]\r\ninfo=0\r\nraster=7\r\nmoveWindow=abc\r\ntop=0x20\r\nleft=abc\r\nheight=0X1f\r\n"
                      "width= -12 \r\nmaximized=0x\r\n\r\n[KEY]\r\naendern=Q\r\n");
    const TSettingsFile ini(path());
    EXPECT_FALSE(ini.ReadBool(kConfig, kInfo, true));
    EXPECT_TRUE(ini.ReadBool(kConfig, kRaster, false));     // any value but 0 is true
    EXPECT_TRUE(ini.ReadBool(kConfig, kMoveWindow, true));  // no integer: the default
    EXPECT_FALSE(ini.ReadBool(kConfig, kMoveWindow, false));
    EXPECT_EQ(ini.ReadInteger(kConfig, kTop, 30), 32);
    EXPECT_EQ(ini.ReadInteger(kConfig, kLeft, 30), 30);
    EXPECT_EQ(ini.ReadInteger(kConfig, kHeight, 500), 31);
    EXPECT_EQ(ini.ReadInteger(kConfig, kWidth, 500), -12);
    EXPECT_EQ(ini.ReadInteger(kConfig, kMaximized, 5), 5); // "0x" alone is no number
    EXPECT_EQ(ini.ReadString(kKey, kAendern, "E"), "Q");   // section names in any letter case
    EXPECT_EQ(ini.ReadString(kConfig, kAendern, "E"), "E"); // a key of another section does not count
}

TEST_F(SettingsTest, TextIsReadUpTo2047CharactersAsWindows1252) {
    writeFile(path(), "[key]\r\naendern=\xC4" + std::string(3000, 'x') + "\r\n");
    const std::string text = TSettingsFile(path()).ReadString(kKey, kAendern, "E");
    EXPECT_EQ(cp1252Length(text), 2047u);
    EXPECT_EQ(text.substr(0, 3), "Äx");
}

TEST_F(SettingsTest, WritesGoToTheFileAtOnce) {
    TSettingsFile ini(path());
    ini.WriteBool(kConfig, kMoveWindow, false);
    EXPECT_EQ(readFile(path()), "[config]\r\nmoveWindow=0\r\n");
    ini.WriteBool(kConfig, kMoveWindow, true);
    ini.WriteInteger(kConfig, kTop, -40);
    EXPECT_EQ(readFile(path()), "[config]\r\nmoveWindow=1\r\ntop=-40\r\n");
    EXPECT_EQ(TSettingsFile(path()).ReadInteger(kConfig, kTop, 30), -40);
}

TEST_F(SettingsTest, GeometryIsWrittenInItsOrder) {
    TSettingsFile ini(path());
    ini.WriteGeometry(true, 10, 20, 800, 600);
    EXPECT_EQ(readFile(path()), "[config]\r\nmaximized=1\r\ntop=10\r\nleft=20\r\nwidth=800\r\nheight=600\r\n");
}

TEST_F(SettingsTest, WritingKeepsOtherSectionsKeysAndLinesOfTheFile) {
    writeFile(path(), "; Kommentar\r\n[config]\r\ninfo=1\r\nRASTER=1\r\n\r\n[key]\r\naendern=Q\r\n");
    TSettingsFile ini(path());
    ini.WriteBool(kConfig, kRaster, false);
    ini.WriteInteger(kConfig, kTop, 5);
    ini.WriteString("andere", "x", "ü");
    EXPECT_EQ(readFile(path()), "; Kommentar\r\n[config]\r\ninfo=1\r\nraster=0\r\ntop=5\r\n\r\n[key]\r\naendern=Q\r\n"
                                "[andere]\r\nx=\xFC\r\n");
}

TEST_F(SettingsTest, ChangesMadeByHandAreKeptByTheNextWrite) {
    TSettingsFile ini(path());
    ini.WriteInteger(kConfig, kTop, 1);
    writeFile(path(), readFile(path()) + "[key]\r\naendern=Z\r\n");
    ini.WriteInteger(kConfig, kLeft, 2);
    EXPECT_EQ(ini.ReadString(kKey, kAendern, "E"), "Z");
}

TEST_F(SettingsTest, FailingWriteRaisesOnceUntilAWriteSucceeds) {
    const std::string folder = dir.file("plain");
    writeFile(folder, "x"); // a folder that is a file: nothing can be written below it
    const std::string bad = folder + "/config.ini";
    TSettingsFile ini(bad);
    const auto raisesTheWriteError = [&](int value) {
        try {
            ini.WriteInteger(kConfig, kTop, value);
        } catch (const Error& e) {
            return std::string(e.what()) == "In " + bad + " kann nicht geschrieben werden";
        }
        return false;
    };
    EXPECT_TRUE(raisesTheWriteError(1));
    EXPECT_TRUE(ini.WriteFailed());
    EXPECT_NO_THROW(ini.WriteInteger(kConfig, kLeft, 2));
    EXPECT_NO_THROW(ini.WriteGeometry(false, 1, 2, 3, 4));

    std::filesystem::remove(folder);
    ini.WriteInteger(kConfig, kTop, 3);
    EXPECT_FALSE(ini.WriteFailed());
    EXPECT_EQ(ini.ReadInteger(kConfig, kTop, 0), 3);

    // After a write that succeeded, the next failure is reported again.
    std::filesystem::remove_all(folder);
    writeFile(folder, "x");
    EXPECT_TRUE(raisesTheWriteError(4));
}

TEST_F(SettingsTest, FolderIsTheProgramsOwnWhenWritable) {
    EXPECT_EQ(SettingsFilePath(dir.path(), "/xdg", "/home/u"), dir.path() + "/config.ini");
}

TEST_F(SettingsTest, UnwritableProgramFolderFallsBackToTheUserConfigFolder) {
    // A folder that does not exist cannot be written, whoever runs the test.
    const std::string gone = dir.file("gone");
    EXPECT_EQ(SettingsFilePath(gone, "/xdg", "/home/u"), "/xdg/v7300-logik/config.ini");
    EXPECT_EQ(SettingsFilePath(gone, nullptr, "/home/u"), "/home/u/.config/v7300-logik/config.ini");
    EXPECT_EQ(SettingsFilePath(gone, "", "/home/u"), "/home/u/.config/v7300-logik/config.ini");
    EXPECT_EQ(SettingsFilePath(gone, "relativ", "/home/u"), "/home/u/.config/v7300-logik/config.ini");
}

TEST_F(SettingsTest, FirstWriteCreatesTheUserConfigFolder) {
    const std::string file = SettingsFilePath(dir.file("gone"), dir.file("xdg").c_str(), "/home/u");
    TSettingsFile ini(file);
    ini.WriteBool(kConfig, kInfo, false);
    EXPECT_FALSE(TSettingsFile(dir.file("xdg/v7300-logik/config.ini")).ReadBool(kConfig, kInfo, true));
}

} // namespace
} // namespace v7300::test
