#pragma once
// Runs a logic test on an opened diagram: the simulation on a virtual clock with
// the local time of the test's zone, cycle by cycle where something happens and
// in jumps over idle stretches, stopping at the first expectation that fails.
#include "core/TimeZone.h"
#include "model/Logic.h"
#include "simulation/EffectPorts.h"
#include "simulation/LogicTest.h"

#include <cstdint>
#include <string>

namespace v7300 {

struct TLogicTestOutcome {
    bool Passed = false;
    int Steps = 0;
    std::int64_t SimulatedMs = 0;
    int FailLine = 0;
    // "<step as written> — ist <value> bei t=<local time with offset>"
    std::string FailText;
};

// Raises TLogicTestSyntaxError for a test that cannot run on this diagram (a
// component it names is missing, a time that does not exist in the zone), and
// Error when the simulation cannot start. The decimal separator of the test is
// in force while it runs.
TLogicTestOutcome RunLogicTest(const TLogicTestFile& test, TLogic& logic, const TTimeZone& zone,
                               TEffectPorts ports = {}, bool skipIdle = true);

// "2026-03-29T03:30:00.110+02:00"
std::string FormatTestTime(const TTimeZone& zone, std::int64_t utcMs);

} // namespace v7300
