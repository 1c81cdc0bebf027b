#include "cli/Cli.h"
#include "core/FileIO.h"
#include "model/LibraryCheck.h"
#include "model/ObjDefinition.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <sstream>

using namespace v7300;
using test::TempDir;

namespace {

using Result = test::CliResult;
using test::runCli;

} // namespace

TEST(LibraryCli, ListsTypesWithTheirPictureCountInLibraryOrder) {
    TempDir dir;
    test::writeDefinition(dir.path(), "OR", {"---"});
    test::writeDefinition(dir.path(), "AND", {"---"});
    test::writePng(dir.file("AND/AND.png"), 2, 2);
    test::writePng(dir.file("AND/AND_.png"), 2, 2);
    const Result r = runCli({"--library", dir.path(), "library", "list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "AND 2\nOR 0\n");
}

TEST(LibraryCli, CheckReportsEachDefinitionProblemWithTypeAndFile) {
    TempDir dir;
    test::writeDefinition(dir.path(), "GOOD", {"-NAME", "GOOD", "-VARS", "INT A 1", "---"});
    test::writeFile(dir.file("SUM/SUM.obj"), "{x-0000}\r\n---\r\n");
    test::writeDefinition(dir.path(), "VARS", {"-VARS", "INT A eins", "---"});
    test::writeDefinition(dir.path(), "PINS", {"-IN", "12", "---"});
    const Result r = runCli({"library", "check", dir.path()});
    EXPECT_EQ(r.status, 1);
    std::istringstream lines(r.out);
    std::vector<std::string> problems;
    for (std::string line; std::getline(lines, line);)
        if (line.find(dir.path()) != std::string::npos) problems.push_back(line);
    ASSERT_EQ(problems.size(), 3u) << r.out;
    EXPECT_EQ(problems[0].rfind("PINS " + dir.file("PINS/PINS.obj") + ": ", 0), 0u) << problems[0];
    EXPECT_NE(problems[1].find("SUM " + dir.file("SUM/SUM.obj")), std::string::npos);
    EXPECT_NE(problems[1].find("Prüfsumme"), std::string::npos);
    EXPECT_NE(problems[2].find("Invalid Value : 'eins '"), std::string::npos) << problems[2];
}

TEST(LibraryCli, SignRewritesOnlyTheChecksumKeepingLabelAndLineEnds) {
    TempDir dir;
    const std::string body = "-NAME\nT\n---\n$A1 = 1\n";
    test::writeFile(dir.file("T.obj"), "{Mein Label-FALSCH}\n" + body);
    const Result r = runCli({"library", "sign", dir.file("T.obj")});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string expected =
        "{Mein Label-" + ComputeDefinitionChecksum({"-NAME", "T", "---", "$A1 = 1"}) + "}\n" + body;
    EXPECT_EQ(readFileBytes(dir.file("T.obj")), expected);
    SilentMessagePort port;
    EXPECT_TRUE(CheckDefinitions(TLogicComponentLibrary(dir.path(), port)).empty());
}

TEST(LibraryCli, SignOfAMissingFileFails) {
    const Result r = runCli({"library", "sign", "/nonexistent/x.obj"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/nonexistent/x.obj"), std::string::npos);
}

TEST(Cli, BadUsageExitsWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"gibtsnicht"}, {"library"}, {"library", "frobnicate"}, {"library", "sign"}, {"--wrong"}}) {
        const Result r = runCli(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("v7300 --help"), std::string::npos);
    }
}

TEST(Cli, HelpListsTheSubcommands) {
    const Result r = runCli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("library list"), std::string::npos);
}

TEST(Cli, CoreMessagesGoToStderrWithCaption) {
    std::ostringstream err;
    cli::StderrMessagePort port(err);
    EXPECT_EQ(port.show({"Hinweis", "Zeile1\r\nZeile2", MsgIcon::Question, MbYes | MbNo, MbNo}), MbNo);
    port.showPlain("ohne Titel");
    EXPECT_EQ(err.str(), "Hinweis: Zeile1\nZeile2\nohne Titel\n");
}

TEST(LibraryCli, FolderLinksUpwardsAndToItselfAreSearchedOnce) {
    TempDir dir;
    const std::string lib = dir.file("lib");
    test::writeDefinition(lib, "AND", {"---"});
    std::filesystem::create_directory_symlink(".", lib + "/hier");
    std::filesystem::create_directory_symlink("..", lib + "/oben");
    std::filesystem::create_directory_symlink("..", lib + "/AND/zurueck");
    const Result r = runCli({"--library", lib, "library", "list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "AND 0\n");
}

TEST(LibraryCli, CheckTellsAnUnreadablePictureFromAMissingOne) {
    TempDir dir;
    const std::string lib = dir.file("lib");
    test::writeDefinition(lib, "NUM", {"-NAME", "NUM", "-OUT", "1", "-VARS", "INT VALUE 0", "---"});
    test::writeFile(lib + "/NUM/NUM.png", "kein PNG");
    const Result r = runCli({"library", "check", lib});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("NUM " + lib + "/NUM/NUM.obj: Bild NUM.png kann nicht gelesen werden\n"), std::string::npos)
        << r.out;
    std::filesystem::remove(lib + "/NUM/NUM.png");
    EXPECT_NE(runCli({"library", "check", lib}).out.find("Bild NUM.png fehlt\n"), std::string::npos);
}

