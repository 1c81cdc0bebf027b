#pragma once
// Logic tests: a small text format that names a project, a start time in a
// time zone, and steps in time order – advancing simulated time, acting on
// inputs and store entries, and expectations. This is the parsed form and its
// parser; TLogicTestRunner runs it.
//
//   # comment
//   projekt heizung.v7k            (relative to the test file)
//   zeitzone Europe/Berlin         (default: the machine's)
//   start 2026-03-28T22:00:00      (local time; default 2026-01-05T12:00:00)
//   dezimaltrenner ,               (default ,)
//   nach 5s | bis 2026-03-29T03:30:00 | bis OUT1.A1 = 1 höchstens 2h
//   drücke IN1 | schalte IN2 | setze IN3 = 215 | setze $NAME = WERT
//   erwarte OUT1.A1 = 1 [für 10m] | erwarte LCD1 Zeile 1 = "Temp: 21,5"
#include "core/Clock.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace v7300 {

// A test file that does not parse: the line (1-based) and the German message.
class TLogicTestSyntaxError : public std::runtime_error {
public:
    TLogicTestSyntaxError(int line, const std::string& message) : std::runtime_error(message), Line(line) {}
    int Line;
};

// What a condition or an assignment refers to.
struct TTestRef {
    bool Lcd = false;      // a line of the display instead of a store entry
    int LcdLine = 0;       // 1 or 2
    std::string Store;     // the store name, "$OUT1__A1"
    std::string Component; // the component named, to be checked against the project ("" for $NAME)
};

enum class TTestOp { Eq, Ne, Lt, Gt, Le, Ge };

struct TTestCondition {
    TTestRef Ref;
    TTestOp Op = TTestOp::Eq;
    std::string Value;
};

// A moment given as local time, or with an explicit offset from UTC.
struct TTestTime {
    DateTime Local;
    std::optional<int> OffsetSeconds;
};

struct TTestStep {
    enum class Kind { Nach, BisZeit, BisBedingung, Druecke, Schalte, Setze, Erwarte };
    Kind Type = Kind::Nach;
    int Line = 0;
    std::string Text;            // the step as written, without comment
    std::int64_t DurationMs = 0; // nach; höchstens; für (0: only now)
    TTestTime At;                // bis ZEIT
    TTestCondition Condition;    // bis …; erwarte
    std::string Input;           // drücke, schalte: "IN1"; setze INn: the input's component
    TTestRef Target;             // setze
    std::string Value;           // setze
};

struct TLogicTestFile {
    std::string Project;
    int ProjectLine = 0;
    std::optional<std::string> Zone;
    int ZoneLine = 0;
    TTestTime Start{DateTime{2026, 1, 5, 12, 0, 0, 0}, std::nullopt};
    int StartLine = 0;
    char DecimalSeparator = ',';
    std::vector<TTestStep> Steps;
};

// Parses the text (UTF-8). Raises TLogicTestSyntaxError.
TLogicTestFile ParseLogicTest(const std::string& text);

// "5s", "10m", "2h", "1d", "500ms", "1h30m", "1,5s" as milliseconds.
std::optional<std::int64_t> ParseTestDuration(const std::string& text);
// "1d 2h 3m 4.110s", "5s", "2m 0s".
std::string FormatTestDuration(std::int64_t ms);

} // namespace v7300
