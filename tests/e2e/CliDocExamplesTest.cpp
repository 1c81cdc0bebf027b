// Runs every example of docs/cli.md as written and compares the output.
//
// An example is a fenced block whose first line begins with "$ ". Each "$ " line
// is a command (continued on the next line after a trailing "\"); the lines up to
// the next command are its output, stdout and stderr as a terminal shows them.
// A line "…" stands for any number of lines, a "…" within a line for any text
// (a time stamp, a folder of this machine); blanks and CR at line ends do not
// count. Output that no fresh clone can reproduce (the serial ports of a
// machine) belongs in an indented block, which is shown but not run.
//
// Each block runs in bash in a fresh folder laid out like a clone after the
// build: a copy of examples/, and build/ leading to the built programs. So a
// block makes every file it needs itself. UDP ports 47300 … 47399, written after
// "--port " or ":" (as in 127.0.0.1:47300), stand for free ports of 127.0.0.1 and
// are replaced in commands and output alike. A command ending in "&" runs in the
// background; the next one starts when the ports of its "--port" options are
// bound. Background jobs still running at the end of a block are stopped.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <regex>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace v7300::test {
namespace {

namespace fs = std::filesystem;

struct Step {
    int line = 0;
    std::string command;
    std::vector<std::string> expected;
};

struct Example {
    int line = 0;
    std::vector<Step> steps;
};

std::vector<Example> parseExamples(const std::string& markdown) {
    std::vector<std::string> lines;
    std::istringstream in(markdown);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    std::vector<Example> examples;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("```", 0) != 0) continue;
        const std::size_t open = i++;
        const bool runnable = i < lines.size() && lines[i].rfind("$ ", 0) == 0;
        Example example{static_cast<int>(open) + 1, {}};
        for (; i < lines.size() && lines[i].rfind("```", 0) != 0; ++i) {
            if (!runnable) continue;
            if (lines[i].rfind("$ ", 0) == 0) {
                Step step{static_cast<int>(i) + 1, lines[i].substr(2), {}};
                while (!step.command.empty() && step.command.back() == '\\' && i + 1 < lines.size())
                    step.command += "\n" + lines[++i];
                example.steps.push_back(step);
            } else {
                example.steps.back().expected.push_back(lines[i]);
            }
        }
        if (runnable) examples.push_back(example);
    }
    return examples;
}

std::uint16_t freeUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0;
    ::close(fd);
    return ok ? ntohs(a.sin_port) : 0;
}

// Replaces the example ports by free ones, the same port for the same number in one block.
class PortMap {
public:
    std::string apply(const std::string& text) {
        static const std::regex port(R"((--port[ =]|:)(473\d\d)\b)");
        std::string out;
        auto last = text.cbegin();
        for (std::sregex_iterator it(text.begin(), text.end(), port), end; it != end; ++it) {
            out.append(last, (*it)[0].first);
            auto& chosen = ports_[(*it)[2].str()];
            if (chosen == 0) chosen = freeUdpPort();
            out += (*it)[1].str() + std::to_string(chosen);
            last = (*it)[0].second;
        }
        return out.append(last, text.cend());
    }

private:
    std::map<std::string, std::uint16_t> ports_;
};

std::vector<std::string> backgroundPorts(const std::string& command) {
    static const std::regex port(R"(--port[ =](\d+))");
    std::vector<std::string> ports;
    for (std::sregex_iterator it(command.begin(), command.end(), port), end; it != end; ++it)
        ports.push_back((*it)[1].str());
    return ports;
}

bool endsWithAmpersand(const std::string& command) {
    const auto last = command.find_last_not_of(" \t");
    return last != std::string::npos && command[last] == '&' && (last == 0 || command[last - 1] != '&');
}

constexpr const char* kMark = "\x1e\n";

// One bash script for the block: each command's output (stderr into stdout)
// follows a mark line; $? carries over from one command to the next.
std::string script(const std::vector<Step>& steps) {
    std::string s = "waitUdp() { local hex; hex=$(printf '%04X' \"$1\");\n"
                    "  for i in $(seq 500); do grep -q \":$hex \" /proc/net/udp && return 0; sleep 0.01; done; }\n"
                    "st=0\n";
    for (const auto& step : steps) {
        s += "printf '\\036\\n'\n";
        s += "{ (exit $st); " + step.command + "\n} 2>&1; st=$?\n";
        if (endsWithAmpersand(step.command))
            for (const auto& port : backgroundPorts(step.command)) s += "waitUdp " + port + "\n";
    }
    // Background jobs left are stopped: every child of the block's shell, since
    // "kill %N" without job control may miss the later processes of a pipeline.
    s += "printf '\\036\\n'\npkill -P $$ 2>/dev/null; wait\n";
    return s;
}

std::string trimEnd(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
    return s;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(trimEnd(l));
    return lines;
}

// One expected line against an actual one; each "…" in it matches any text.
bool lineMatches(const std::string& expected, const std::string& actual) {
    static const std::string kAny = "…";
    const auto first = expected.find(kAny);
    if (first == std::string::npos) return expected == actual;
    if (actual.compare(0, first, expected, 0, first) != 0) return false;
    std::size_t at = first;
    std::size_t from = first + kAny.size();
    for (;;) {
        const auto next = expected.find(kAny, from);
        const std::string piece = expected.substr(from, next == std::string::npos ? std::string::npos : next - from);
        if (next == std::string::npos)
            return actual.size() >= at + piece.size() && actual.compare(actual.size() - piece.size(), piece.size(), piece) == 0;
        const auto found = actual.find(piece, at);
        if (found == std::string::npos) return false;
        at = found + piece.size();
        from = next + kAny.size();
    }
}

// Expected lines against actual ones; a line "…" matches any number of lines.
bool matches(const std::vector<std::string>& expected, std::size_t e, const std::vector<std::string>& actual,
             std::size_t a) {
    if (e == expected.size()) return a == actual.size();
    if (expected[e] == "…") {
        for (std::size_t k = a; k <= actual.size(); ++k)
            if (matches(expected, e + 1, actual, k)) return true;
        return false;
    }
    return a < actual.size() && lineMatches(trimEnd(expected[e]), actual[a]) && matches(expected, e + 1, actual, a + 1);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += "  | " + l + "\n";
    return s;
}

std::string runScript(const std::string& folder, const std::string& text) {
    const std::string file = folder + "/.example.sh";
    std::ofstream(file) << text;
    const std::string command = "cd '" + folder + "' && timeout 300 bash .example.sh 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    if (pipe == nullptr) return output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    ::pclose(pipe);
    return output;
}

// The output of each step, in order.
std::vector<std::string> splitAtMarks(const std::string& output) {
    std::vector<std::string> parts;
    std::size_t from = output.find(kMark);
    while (from != std::string::npos) {
        from += 2;
        const std::size_t next = output.find(kMark, from);
        if (next == std::string::npos) break;
        parts.push_back(output.substr(from, next - from));
        from = next;
    }
    return parts;
}

TEST(CliDocExamples, BlocksAreReadIntoCommandsAndOutputsThatMatchWithEllipses) {
    const auto examples = parseExamples("text\n```\n$ a \\\n  b\nx\n…\n$ c\n```\n    $ not run\n```\nnot run\n```\n");
    ASSERT_EQ(examples.size(), 1u);
    ASSERT_EQ(examples[0].steps.size(), 2u);
    EXPECT_EQ(examples[0].steps[0].command, "a \\\n  b");
    EXPECT_EQ(examples[0].steps[0].expected, (std::vector<std::string>{"x", "…"}));
    EXPECT_TRUE(matches({"x", "…", "z"}, 0, {"x", "y", "y", "z"}, 0));
    EXPECT_FALSE(matches({"x", "…", "z"}, 0, {"x", "y"}, 0));
    EXPECT_TRUE(lineMatches("… >> Neustart.", "03:33:15.957 >> Neustart."));
    EXPECT_TRUE(lineMatches("a…c…e", "abcde"));
    EXPECT_FALSE(lineMatches("a…c…e", "abde"));
    EXPECT_FALSE(lineMatches("ab…ba", "aba")); // prefix and suffix may not overlap
}

TEST(CliDocExamples, EveryExampleRunsAsWritten) {
    std::ifstream in(std::string(V7300_SOURCE_DIR) + "/docs/cli.md");
    const std::string markdown((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto examples = parseExamples(markdown);
    ASSERT_GE(examples.size(), 20u) << "docs/cli.md not found or its examples not recognised";
    for (const auto& example : examples) {
        SCOPED_TRACE("docs/cli.md:" + std::to_string(example.line));
        TempDir dir;
        fs::copy(std::string(V7300_SOURCE_DIR) + "/examples", dir.file("examples"), fs::copy_options::recursive);
        fs::create_directory_symlink(V7300_BINARY_DIR, dir.file("build"));
        PortMap ports;
        std::vector<Step> steps = example.steps;
        for (auto& step : steps) {
            step.command = ports.apply(step.command);
            for (auto& line : step.expected) line = ports.apply(line);
        }
        const auto outputs = splitAtMarks(runScript(dir.path(), script(steps)));
        ASSERT_EQ(outputs.size(), steps.size()) << "the block did not run to its end";
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const auto actual = linesOf(outputs[i]);
            EXPECT_TRUE(matches(steps[i].expected, 0, actual, 0))
                << "docs/cli.md:" << steps[i].line << ": $ " << steps[i].command << "\nexpected:\n"
                << joined(steps[i].expected) << "actual:\n"
                << joined(actual);
        }
    }
}

} // namespace
} // namespace v7300::test
