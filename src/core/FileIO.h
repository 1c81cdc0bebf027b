#pragma once
// Whole-file reading and safe writing.
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

// Reads the file's bytes; raises Error("Die Datei <path> kann nicht gelesen werden.") on failure.
std::string readFileBytes(const std::string& path);

// Reads at most limit bytes: nothing when the file holds more (a device or pipe
// without end included), so that no input can take unbounded memory. Raises as
// readFileBytes when the file cannot be read.
std::optional<std::string> readFileBytesAtMost(const std::string& path, std::size_t limit);

// Writes the bytes to a temporary file in the target's folder (unnamed where the
// file system allows it), flushes it to disk and renames it over the target, so
// that the old file stays intact when anything fails; then syncs the folder.
// A symbolic link is written through: the file it names gets the content and the
// link stays. An existing file keeps its permission bits; a new one gets 0666
// masked by the umask. An existing target that is no regular file, is not
// writable by the user or carries no write bit at all is refused, unchanged.
// Raises Error("In <path> kann nicht geschrieben werden") on failure.
void writeFileAtomic(const std::string& path, const std::string& bytes);

// Splits text at CR LF, LF or CR; a final line end does not start another line.
std::vector<std::string> splitLines(const std::string& text);

// The folder part of a path ("" when it has none) and the file-name part.
std::string directoryOf(const std::string& path);
std::string fileNameOf(const std::string& path);

} // namespace v7300
