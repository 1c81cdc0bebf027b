#include "core/Error.h"
#include "core/FileIO.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace v7300;
namespace fs = std::filesystem;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// The names in the folder: a safe write leaves nothing beside the files it was given.
std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string failureOf(const std::string& path, const std::string& bytes) {
    try {
        writeFileAtomic(path, bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

// Sets the process umask for the lifetime of the object.
class UmaskGuard {
public:
    explicit UmaskGuard(mode_t mask) : old_(::umask(mask)) {}
    ~UmaskGuard() { ::umask(old_); }

private:
    mode_t old_;
};

} // namespace

TEST(FileIO, WritesANewFileAndReplacesAnOldOneLeavingNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir.file("p.v7k");
    writeFileAtomic(path, "eins");
    EXPECT_EQ(test::readFile(path), "eins");
    writeFileAtomic(path, "zwei");
    EXPECT_EQ(test::readFile(path), "zwei");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"p.v7k"});
}

TEST(FileIO, ReadOnlyTargetIsRefusedAndKept) {
    test::TempDir dir;
    const std::string path = dir.file("fest.v7k");
    test::writeFile(path, "alt");
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(failureOf(path, "neu"), "In " + path + " kann nicht geschrieben werden");
    EXPECT_EQ(test::readFile(path), "alt");
    EXPECT_EQ(modeOf(path), 0444u);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"fest.v7k"});
}

TEST(FileIO, TargetThatIsNoRegularFileIsRefused) {
    test::TempDir dir;
    fs::create_directory(dir.file("ordner"));
    EXPECT_EQ(failureOf(dir.file("ordner"), "x"), "In " + dir.file("ordner") + " kann nicht geschrieben werden");
    EXPECT_TRUE(fs::is_directory(dir.file("ordner")));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"ordner"});
}

TEST(FileIO, WritesThroughSymbolicLinksAndKeepsThem) {
    struct Case {
        const char* name;
        const char* linkText; // as stored in the link, relative to the link's folder
        const char* target;   // the file that must get the content, relative to the temp folder
        bool targetExists;
    };
    const Case cases[] = {
        {"relative link into a sub-folder", "sub/echt.v7k", "sub/echt.v7k", true},
        {"link to a link", "zwischen", "sub/echt.v7k", true},
        {"dangling link creates its target", "sub/neu.v7k", "sub/neu.v7k", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        test::writeFile(dir.file("sub/echt.v7k"), "alt");
        fs::create_symlink("sub/echt.v7k", dir.file("zwischen"));
        const std::string link = dir.file("link.v7k");
        fs::create_symlink(c.linkText, link);
        ASSERT_EQ(fs::exists(dir.file(c.target)), c.targetExists);

        writeFileAtomic(link, "neu");

        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link).string(), c.linkText);
        EXPECT_EQ(test::readFile(dir.file(c.target)), "neu");
        EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"link.v7k", "sub", "zwischen"}));
        EXPECT_EQ(namesIn(dir.file("sub")).size(), c.targetExists ? 1u : 2u);
    }
}

TEST(FileIO, LinkLoopIsRefused) {
    test::TempDir dir;
    fs::create_symlink("b", dir.file("a"));
    fs::create_symlink("a", dir.file("b"));
    EXPECT_EQ(failureOf(dir.file("a"), "x"), "In " + dir.file("a") + " kann nicht geschrieben werden");
}

TEST(FileIO, ExistingFileKeepsItsPermissionBits) {
    test::TempDir dir;
    const std::string path = dir.file("rechte.v7k");
    test::writeFile(path, "alt");
    ::chmod(path.c_str(), 0640);
    writeFileAtomic(path, "neu");
    EXPECT_EQ(modeOf(path), 0640u);
}

TEST(FileIO, NewFileGetsReadWriteForAllMaskedByTheUmask) {
    const struct {
        mode_t umask;
        mode_t expected;
    } cases[] = {{022, 0644}, {027, 0640}, {077, 0600}, {0, 0666}};
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string path = dir.file("neu.v7k");
        {
            const UmaskGuard guard(c.umask);
            writeFileAtomic(path, "x");
        }
        EXPECT_EQ(modeOf(path), c.expected) << std::oct << c.umask;
    }
}

// A writer killed at any moment leaves the old or the new content, never a mixture.
TEST(FileIO, WriterKilledMidwayLeavesTheOldOrTheNewContent) {
    test::TempDir dir;
    const std::string path = dir.file("gross.v7k");
    const std::string oldBytes(4 << 20, 'a');
    const std::string newBytes(4 << 20, 'b');
    for (int round = 0; round < 8; ++round) {
        test::writeFile(path, oldBytes);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) writeFileAtomic(path, newBytes);
        }
        ::usleep(static_cast<useconds_t>(1000 + round * 3000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = test::readFile(path);
        EXPECT_TRUE(now == oldBytes || now == newBytes) << "round " << round << ", size " << now.size();
    }
}
