#pragma once
// The subcommands. Each lives in its own Cmd*.cpp; the table is in Cli.cpp.
#include "cli/Cli.h"

namespace v7300::cli {

int cmdLibrary(Context& ctx);
int cmdDump(Context& ctx);
int cmdPack(Context& ctx);
int cmdConvert(Context& ctx);
int cmdInfo(Context& ctx);
int cmdScript(Context& ctx);
int cmdRunScript(Context& ctx);
int cmdSimulate(Context& ctx);
int cmdPing(Context& ctx);
int cmdEmulate(Context& ctx);
int cmdCompile(Context& ctx);
int cmdChecksum(Context& ctx);
int cmdRender(Context& ctx);
int cmdTest(Context& ctx);
int cmdPorts(Context& ctx);
int cmdFlash(Context& ctx);
int cmdUpload(Context& ctx);
int cmdVerify(Context& ctx);
int cmdLive(Context& ctx);
// simulate PROJECT --replay FILE: the rest of simulate's arguments are in ctx.args.
int cmdSimulateReplay(Context& ctx, const std::string& file);
int cmdBus(Context& ctx);
int cmdSet(Context& ctx);
int cmdPages(Context& ctx);

} // namespace v7300::cli
