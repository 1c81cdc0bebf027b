#include "simulation/LiveRecording.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "core/TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace v7300 {
namespace {

std::string dateTimeText(const DateTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", t.year % 10000, t.month % 100, t.day % 100,
                  t.hour % 100, t.minute % 100, t.second % 100, t.millisecond % 1000);
    return buf;
}

bool parseDateTime(const std::string& text, DateTime& t) {
    char tail = 0;
    if (text.size() != 23 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second, &t.millisecond, &tail) != 7)
        return false;
    // The time must exist: a round trip through the calendar keeps it.
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.hour <= 23 && t.minute <= 59 && t.second <= 59 &&
           t.millisecond >= 0 && DateTime::fromEpochMs(t.toEpochMs()) == t;
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (;;) {
        const auto at = text.find(separator, begin);
        parts.push_back(text.substr(begin, at == std::string::npos ? std::string::npos : at - begin));
        if (at == std::string::npos) return parts;
        begin = at + 1;
    }
}

Error notARecording() { return Error("Die Datei ist keine LiveView-Aufzeichnung."); }

TLiveRecordingHeader parseHeader(const std::string& line) {
    // The project comes last: a file name may hold the separator.
    const std::string prefix = std::string(kLiveRecordingMagic) + ";CRC=";
    if (line.rfind(prefix, 0) != 0) throw notARecording();
    const auto start = line.find(";Start=", prefix.size());
    const auto project = line.find(";Projekt=", prefix.size());
    if (start == std::string::npos || project == std::string::npos || project < start) throw notARecording();
    TLiveRecordingHeader h;
    const auto crc = parseInt32(line.substr(prefix.size(), start - prefix.size()));
    if (!crc || !parseDateTime(line.substr(start + 7, project - start - 7), h.Start)) throw notARecording();
    h.Checksum = *crc;
    h.Project = cp1252ToUtf8(line.substr(project + 9));
    return h;
}

bool parseSample(const std::string& line, TLiveSample& s) {
    const auto parts = splitAt(line, ';');
    if (parts.size() != 4 || parts[1].empty() || parts[2].empty()) return false;
    const auto ms = parseInt32(parts[0]);
    const auto value = parseDouble(parts[3], '.');
    if (!ms || *ms < 0 || !value || !std::isfinite(*value)) return false;
    s = {*ms, cp1252ToUtf8(parts[1]), cp1252ToUtf8(parts[2]), *value};
    return true;
}

bool isRecording(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[64] = {};
    const std::size_t n = std::fread(buf, 1, std::strlen(kLiveRecordingMagic), f);
    std::fclose(f);
    return n == std::strlen(kLiveRecordingMagic) && std::memcmp(buf, kLiveRecordingMagic, n) == 0;
}

bool exists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr || errno != ENOENT;
}

} // namespace

std::string LiveRecordingHeaderLine(const TLiveRecordingHeader& h) {
    return std::string(kLiveRecordingMagic) + ";CRC=" + std::to_string(h.Checksum) + ";Start=" + dateTimeText(h.Start) +
           ";Projekt=" + utf8ToCp1252(h.Project);
}

std::string LiveRecordingLine(const TLiveSample& s) {
    return std::to_string(s.Ms) + ";" + utf8ToCp1252(s.Component) + ";" + utf8ToCp1252(s.Variable) + ";" +
           formatGeneral(s.Value, '.');
}

TLiveRecording ParseLiveRecording(const std::string& bytes) {
    const std::vector<std::string> lines = splitLines(bytes);
    if (lines.empty()) throw notARecording();
    TLiveRecording r;
    r.Header = parseHeader(lines.front());
    const bool lastComplete = !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        TLiveSample s;
        if (parseSample(lines[i], s)) {
            r.Samples.push_back(std::move(s));
        } else if (i + 1 < lines.size() || lastComplete) {
            throw Error("Die LiveView-Aufzeichnung ist in Zeile " + std::to_string(i + 1) + " beschädigt.");
        }
    }
    std::stable_sort(r.Samples.begin(), r.Samples.end(),
                     [](const TLiveSample& a, const TLiveSample& b) { return a.Ms < b.Ms; });
    return r;
}

TLiveRecording ReadLiveRecording(const std::string& path) { return ParseLiveRecording(readFileBytes(path)); }

// ------------------------------------------------------------------ recorder

TLiveRecorder::TLiveRecorder(const std::string& path, const TLiveRecordingHeader& header, std::int64_t now)
    : path_(path), lastFlush_(now) {
    if (exists(path) && !isRecording(path))
        throw Error("Die Datei " + path + " ist keine LiveView-Aufzeichnung und wird nicht überschrieben.");
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) throw Error("In " + path + " kann nicht geschrieben werden");
    write(LiveRecordingHeaderLine(header));
    flush();
    if (failed_) {
        std::fclose(file_);
        file_ = nullptr;
        throw Error("In " + path + " kann nicht geschrieben werden");
    }
}

TLiveRecorder::~TLiveRecorder() {
    if (file_) std::fclose(file_);
}

void TLiveRecorder::write(const std::string& line) {
    if (!file_ || failed_) return;
    const std::string bytes = line + "\r\n";
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
}

void TLiveRecorder::flush() {
    if (file_ && std::fflush(file_) != 0) failed_ = true;
}

void TLiveRecorder::Add(const TLiveSample& sample) {
    write(LiveRecordingLine(sample));
    ++lines_;
}

void TLiveRecorder::Tick(std::int64_t now) {
    if (now - lastFlush_ >= kFlushIntervalMs) {
        flush();
        lastFlush_ = now;
    }
    if (failed_) throw Error("In " + path_ + " kann nicht geschrieben werden");
}

void TLiveRecorder::Close() {
    if (!file_) return;
    flush();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (failed_ || !closed) throw Error("In " + path_ + " kann nicht geschrieben werden");
}

} // namespace v7300
