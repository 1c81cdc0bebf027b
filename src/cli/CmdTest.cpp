// v7300 test FILE... [--junit FILE] [--every-cycle]
// Runs logic test files: one line per file, "ok <file> (<n> Schritte, <time>)" or
// "FEHLER <file>:<line>: …". Exit 0 all passed, 1 a test failed, 2 a file that
// cannot be read, does not parse or does not fit its project.
#include "cli/Commands.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "core/TimeZone.h"
#include "project/ProjectFile.h"
#include "simulation/LogicTest.h"
#include "simulation/LogicTestRunner.h"

#include <cstdio>
#include <filesystem>
#include <ostream>

namespace v7300::cli {
namespace {

struct FileResult {
    std::string file;
    int status = 0;        // 0 passed, 1 failed, 2 broken
    std::string line;      // what stdout got
    std::string message;   // the failure without the leading "FEHLER "
    std::int64_t realMs = 0;
};

std::string projectPath(const std::string& testFile, const std::string& project) {
    if (!project.empty() && project.front() == '/') return project;
    const std::string dir = directoryOf(testFile);
    return dir.empty() ? project : dir + "/" + project;
}

FileResult runOne(Context& ctx, const std::string& file, bool everyCycle) {
    FileResult r;
    r.file = file;
    try {
        std::string text = readFileBytes(file);
        if (!isValidUtf8(text)) text = cp1252ToUtf8(text);
        const TLogicTestFile test = ParseLogicTest(text);
        TTimeZone zone = TTimeZone::Machine();
        if (test.Zone) {
            try {
                zone = TTimeZone::Load(*test.Zone);
            } catch (const Error& e) {
                throw TLogicTestSyntaxError(test.ZoneLine, e.what());
            }
        }
        const std::string project = projectPath(file, test.Project);
        TLogic logic(ctx.libraryDir, ctx.messages);
        logic.NewProject();
        if (!OpenProjectFile(logic, project))
            throw TLogicTestSyntaxError(test.ProjectLine, "Das Projekt " + project + " kann nicht geöffnet werden.");
        const TLogicTestOutcome outcome = RunLogicTest(test, logic, zone, {}, !everyCycle);
        if (outcome.Passed) {
            r.line = "ok " + file + " (" + std::to_string(outcome.Steps) + " Schritte, " +
                     FormatTestDuration(outcome.SimulatedMs) + ")";
            return r;
        }
        r.status = 1;
        r.message = file + ":" + std::to_string(outcome.FailLine) + ": " + outcome.FailText;
    } catch (const TLogicTestSyntaxError& e) {
        r.status = 2;
        r.message = file + ":" + std::to_string(e.Line) + ": " + e.what();
    } catch (const Error& e) {
        r.status = 2;
        r.message = file + ": " + e.what();
    }
    r.line = "FEHLER " + r.message;
    return r;
}

std::string xmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters other than tab and line ends are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') out += '?';
            else out += c;
        }
    }
    return out;
}

std::string seconds(std::int64_t ms) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%03lld", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    return buf;
}

std::string junitXml(const std::vector<FileResult>& results) {
    int failures = 0, errors = 0;
    std::int64_t total = 0;
    for (const auto& r : results) {
        failures += r.status == 1;
        errors += r.status == 2;
        total += r.realMs;
    }
    const std::string counts = " tests=\"" + std::to_string(results.size()) + "\" failures=\"" +
                               std::to_string(failures) + "\" errors=\"" + std::to_string(errors) + "\" time=\"" +
                               seconds(total) + "\"";
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"v7300 test\"" + counts +
                    ">\n  <testsuite name=\"v7300 test\"" + counts + ">\n";
    for (const auto& r : results) {
        x += "    <testcase classname=\"v7300.test\" name=\"" + xmlEscape(r.file) + "\" time=\"" + seconds(r.realMs) + "\"";
        if (r.status == 0) {
            x += "/>\n";
            continue;
        }
        const char* element = r.status == 1 ? "failure" : "error";
        x += ">\n      <" + std::string(element) + " message=\"" + xmlEscape(r.message) + "\">" + xmlEscape(r.line) +
             "</" + element + ">\n    </testcase>\n";
    }
    return x + "  </testsuite>\n</testsuites>\n";
}

} // namespace

int cmdTest(Context& ctx) {
    auto& args = ctx.args;
    std::string junit;
    const bool wantJunit = takeOption(args, "--junit", junit);
    if (wantJunit && junit.empty()) throw UsageError("--junit erwartet einen Dateinamen");
    const bool everyCycle = takeFlag(args, "--every-cycle");
    for (const auto& a : args)
        if (a.rfind("--", 0) == 0) throw UsageError("Unbekannte Option " + a);
    if (args.empty()) throw UsageError("test erwartet mindestens eine Testdatei");

    SystemClock real;
    std::vector<FileResult> results;
    int status = 0;
    for (const auto& file : args) {
        const std::int64_t begin = real.monotonicMs();
        FileResult r = runOne(ctx, file, everyCycle);
        r.realMs = real.monotonicMs() - begin;
        ctx.out << r.line << "\n";
        ctx.out.flush();
        status = std::max(status, r.status);
        results.push_back(std::move(r));
    }
    if (wantJunit) {
        std::error_code ec;
        const std::string folder = directoryOf(junit);
        if (!folder.empty()) std::filesystem::create_directories(folder, ec); // a CI report folder may not exist yet
        writeFileAtomic(junit, junitXml(results));
    }
    return status;
}

} // namespace v7300::cli
