// How the tool answers help requests and bad usage: help with -h and --help,
// unknown options named as such, option values that are missing or malformed.
#include "support/CliRun.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using test::runCli;

TEST(CliUsage, HelpWithDashHOrDashDashHelpGloballyAndPerSubcommand) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"-h"}, {"--help"}, {"info", "-h"}, {"info", "--help"}, {"library", "list", "-h"}, {"ping", "-h"}}) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 0) << args.back() << ": " << r.err;
        EXPECT_EQ(r.out.rfind("Aufruf: v7300 ", 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(runCli({"info", "-h"}).out, "Aufruf: v7300 info PROJECT\n");
}

TEST(CliUsage, AnUnknownOptionIsNamedAsSuch) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"info", "a.v7k", "--frob"}, "info: unbekannte Option --frob"},
        {{"compile", "--frob", "a.v7k"}, "compile: unbekannte Option --frob"},
        {{"simulate", "a.v7k", "--seconds", "1", "-x"}, "simulate: unbekannte Option -x"},
        {{"library", "list", "--frob"}, "library list: unbekannte Option --frob"},
        {{"ping", "127.0.0.1", "--frob"}, "ping: unbekannte Option --frob"},
        {{"emulate", "--frob"}, "emulate: unbekannte Option --frob"},
        {{"--library"}, "Option --library braucht einen Wert"},
        {{"info", "a.v7k", "--library"}, "Option --library braucht einen Wert"},
    };
    for (const auto& c : cases) {
        const auto r = runCli(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(r.err, "v7300: " + c.message + "\nHilfe: v7300 --help\n");
    }
}

TEST(CliUsage, PingToAnAddressThatIsNoIpv4AddressIsBadUsage) {
    for (const std::string address : {"localhost", "192.168.0", "::1"}) {
        const auto r = runCli({"ping", address, "--count", "1"});
        EXPECT_EQ(r.status, 2) << address;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "v7300: Die Adresse '" + address + "' ist keine IPv4-Adresse.\nHilfe: v7300 --help\n");
    }
}

} // namespace
} // namespace v7300
