#pragma once
// A recorded live view: the values the controller reported, one line each, to
// be replayed in the simulation. The file is text (Windows-1252, CR LF):
//
//   V7300-LiveView-Aufzeichnung;CRC=25068;Start=2026-01-05T12:00:00.000;Projekt=treppenlicht.v7k
//   120;TIMER1;A1;1
//   120;TIMER1;SEKUNDEN;120
//
// The header names the diagram checksum (GetCrc), the PC's local time at the
// start and the project; each further line holds the milliseconds since the
// start, the instance name, the variable ("A1" … for outputs) and the value
// (a point as decimal separator, whatever the user's setting).
#include "core/Clock.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace v7300 {

inline constexpr const char* kLiveRecordingMagic = "V7300-LiveView-Aufzeichnung";

struct TLiveRecordingHeader {
    std::int32_t Checksum = 0;
    DateTime Start;
    std::string Project;
    bool operator==(const TLiveRecordingHeader&) const = default;
};

struct TLiveSample {
    std::int64_t Ms = 0;
    std::string Component;
    std::string Variable;
    double Value = 0;
    bool operator==(const TLiveSample&) const = default;
};

struct TLiveRecording {
    TLiveRecordingHeader Header;
    std::vector<TLiveSample> Samples; // in time order
};

std::string LiveRecordingHeaderLine(const TLiveRecordingHeader& header);
std::string LiveRecordingLine(const TLiveSample& sample);

// Reads a recording. A header that is not one raises Error; so does a damaged
// line, except a last line without line end (cut off when the recorder stopped
// abruptly), which is dropped.
TLiveRecording ParseLiveRecording(const std::string& bytes);
TLiveRecording ReadLiveRecording(const std::string& path);

// Writes a recording as the values arrive: lines go into the file's buffer and
// reach the file at least once a second (Tick) and when the recorder closes,
// so that a crash loses at most the last second.
class TLiveRecorder {
public:
    static constexpr std::int64_t kFlushIntervalMs = 1000;

    // Creates the file and writes the header. An existing file is replaced only
    // when it is a recording itself; anything else is refused with Error.
    TLiveRecorder(const std::string& path, const TLiveRecordingHeader& header, std::int64_t now);
    ~TLiveRecorder();
    TLiveRecorder(const TLiveRecorder&) = delete;
    TLiveRecorder& operator=(const TLiveRecorder&) = delete;

    // `ms`: milliseconds since the start of the recording.
    void Add(const TLiveSample& sample);
    // Flushes when a second has passed since the last flush.
    void Tick(std::int64_t now);
    // Flushes and closes; Error when the file could not be written completely.
    void Close();
    std::size_t Lines() const { return lines_; }

private:
    void write(const std::string& line);
    void flush();

    std::string path_;
    std::FILE* file_ = nullptr;
    std::int64_t lastFlush_ = 0;
    std::size_t lines_ = 0;
    bool failed_ = false;
};

} // namespace v7300
