// The settings file on arbitrary bytes: every read gives a value or the default,
// and a value written can be read back while the rest of the file is kept.
#include "core/Error.h"
#include "core/FileIO.h"
#include "project/Settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace v7300;

namespace {

// One file per process, on a tmpfs when the machine offers one: the writes go
// through the safe save, whose sync to disk would otherwise dominate a run.
const std::string& iniPath() {
    // Kept for the whole run (never destroyed), so that the exit handler still finds it.
    static const std::string* folder = [] {
        const std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        auto* dir = new std::string(base + "/v7300-fuzz-ini-XXXXXX");
        if (::mkdtemp(dir->data()) == nullptr) std::abort();
        std::atexit([] { std::filesystem::remove_all(*folder); });
        return dir;
    }();
    static const std::string path = *folder + "/config.ini";
    return path;
}

void writePlain(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        std::abort();
}

// One key of each kind a run, chosen by the input's length: every key stays
// reachable, and each read costs a file read.
void readOneOfEach(const TSettingsFile& ini, std::size_t pick) {
    using namespace settings;
    const char* const flags[] = {kInfo, kRaster, kMoveWindow, kMaximized};
    const char* const numbers[] = {kTop, kLeft, kHeight, kWidth};
    (void)ini.ReadBool(kConfig, flags[pick % 4], true);
    (void)ini.ReadInteger(kConfig, numbers[pick % 4], 30);
    if (ini.ReadString(kKey, kAendern, "E").size() > 4 * 2047) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace settings;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    (void)ParseIniInteger(bytes);

    writePlain(iniPath(), bytes);
    TSettingsFile ini(iniPath());
    readOneOfEach(ini, size);
    // One safe save a run, into the section the input's length chooses; it must
    // succeed (the folder is writable) and read back.
    const bool intoConfig = (size / 4) % 2 == 0;
    try {
        if (intoConfig) ini.WriteInteger(kConfig, kTop, -22);
        else ini.WriteString(kKey, kAendern, "Q");
    } catch (const Error&) {
        __builtin_trap();
    }
    if (intoConfig ? ini.ReadInteger(kConfig, kTop, 0) != -22 : ini.ReadString(kKey, kAendern, "E") != "Q")
        __builtin_trap();
    return 0;
}
