// The desktop registration of the two project file types.
#include "core/FileIO.h"
#include "support/TestSupport.h"
#include "ui/app/FileTypeRegistration.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace v7300::test {
namespace {

TEST(FileTypeRegistrationTest, WritesMimePackageAndDesktopEntryForBothExtensions) {
    TempDir dir;
    ASSERT_TRUE(RegisterFileTypes(dir.path(), "/opt/v7300 logik/v7300-logik"));
    const std::string mime = readFile(dir.file("mime/packages/v7300-logik.xml"));
    EXPECT_NE(mime.find("pattern=\"*.v7k\""), std::string::npos);
    EXPECT_NE(mime.find("pattern=\"*.V7300_Logik\""), std::string::npos);
    EXPECT_NE(mime.find("<comment>V7300-Logik Projekt</comment>"), std::string::npos);
    const std::string desktop = readFile(dir.file("applications/v7300-logik.desktop"));
    // The path is quoted so that a blank in it does not split the command.
    EXPECT_NE(desktop.find("Exec=\"/opt/v7300 logik/v7300-logik\" %f\n"), std::string::npos);
    EXPECT_NE(desktop.find("MimeType=application/x-v7300-logik;application/x-v7300-logik-legacy;"),
              std::string::npos);
}

TEST(FileTypeRegistrationTest, UnchangedFilesAreNotRewrittenAndAFailureIsReported) {
    TempDir dir;
    ASSERT_TRUE(RegisterFileTypes(dir.path(), "/usr/bin/v7300-logik"));
    const auto path = dir.file("applications/v7300-logik.desktop");
    const auto before = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, before - std::chrono::hours(1));
    ASSERT_TRUE(RegisterFileTypes(dir.path(), "/usr/bin/v7300-logik"));
    EXPECT_EQ(std::filesystem::last_write_time(path), before - std::chrono::hours(1));
    // A data folder that is a file cannot hold the registration.
    writeFile(dir.file("blocked"), "x");
    EXPECT_FALSE(RegisterFileTypes(dir.file("blocked"), "/usr/bin/v7300-logik"));
    EXPECT_FALSE(RegisterFileTypes("", "/usr/bin/v7300-logik"));
}

} // namespace
} // namespace v7300::test
