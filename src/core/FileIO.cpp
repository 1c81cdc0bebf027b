#include "core/FileIO.h"

#include "core/Error.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace v7300 {

std::optional<std::string> readFileBytesAtMost(const std::string& path, std::size_t limit) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) throw Error("Die Datei " + path + " kann nicht gelesen werden.");
    std::string data;
    struct stat st {};
    if (::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode)) {
        if (static_cast<std::uint64_t>(st.st_size) > limit) {
            std::fclose(f);
            return std::nullopt;
        }
        data.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buf[65536];
    std::size_t n = 0;
    bool tooLarge = false;
    while (!tooLarge && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        tooLarge = n > limit - data.size();
        if (!tooLarge) data.append(buf, n);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (tooLarge) return std::nullopt;
    if (failed) throw Error("Die Datei " + path + " kann nicht gelesen werden.");
    return data;
}

std::string readFileBytes(const std::string& path) {
    auto data = readFileBytesAtMost(path, std::string().max_size());
    if (!data) throw Error("Die Datei " + path + " kann nicht gelesen werden.");
    return std::move(*data);
}

namespace {

// The file a path finally names: symbolic links are followed (relative ones from
// their own folder), so that a save writes through a link and leaves it a link.
// Nothing when the chain is too long (a loop) or a link cannot be read.
std::optional<std::string> finalTarget(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return std::nullopt;
        link.resize(static_cast<std::size_t>(n));
        const std::string dir = directoryOf(path);
        path = (link.front() == '/' || dir.empty()) ? link : dir + "/" + link;
    }
    return std::nullopt;
}

// An existing target may be replaced only when it is a regular file that the user
// may write and that carries a write bit (root, too, leaves write-protected files alone).
bool replaceable(const std::string& path, const struct stat& st) {
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
           ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// A file created with 0666 gets the umask from the kernel; an existing target's
// permission bits (and owner, where allowed) go onto the new file.
bool fillTemporary(int fd, const std::string& bytes, const struct stat* old) {
    if (!writeAll(fd, bytes)) return false;
    if (old != nullptr) {
        // Changing the owner needs privileges; without them the file stays ours.
        if (old->st_uid != ::geteuid() || old->st_gid != ::getegid())
            (void)!::fchown(fd, old->st_uid, old->st_gid);
        if (::fchmod(fd, old->st_mode & 07777) != 0) return false;
    }
    return ::fsync(fd) == 0;
}

// A name beside the target for the moment before the rename: ".<name>.<6 characters>".
std::string temporaryName(const std::string& target, int attempt) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<unsigned> counter{0};
    unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u + counter.fetch_add(1) * 40503u +
                    static_cast<unsigned>(attempt);
    std::string suffix;
    for (int i = 0; i < 6; ++i, seed /= 36) suffix += kChars[seed % 36];
    const std::string dir = directoryOf(target);
    return (dir.empty() ? std::string(".") : dir) + "/." + fileNameOf(target) + "." + suffix;
}

constexpr int kNameAttempts = 100;

void syncFolder(const std::string& target) {
    const std::string dir = directoryOf(target);
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The new file is in place already; a folder that cannot be synced (some file
    // systems refuse) changes nothing about that.
    (void)::fsync(fd);
    ::close(fd);
}

// An unnamed file in the target's folder, linked in only when it is complete, so a
// writer killed while writing leaves nothing behind. Unsupported when the file
// system or the platform offers no unnamed files (the caller then uses a named one).
enum class Unnamed { Done, Failed, Unsupported };

Unnamed writeUnnamed(const std::string& target, const std::string& bytes, const struct stat* old) {
    const std::string dir = directoryOf(target);
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) return (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) ? Unnamed::Unsupported
                                                                                   : Unnamed::Failed;
    if (!fillTemporary(fd, bytes, old)) {
        ::close(fd);
        return Unnamed::Failed;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    // A new file is linked in under its own name at once; an existing one is
    // linked in under a temporary name and renamed over the old file.
    if (old == nullptr && ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        ::close(fd);
        return Unnamed::Done;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = temporaryName(target, attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            ::close(fd);
            if (std::rename(name.c_str(), target.c_str()) == 0) return Unnamed::Done;
            ::unlink(name.c_str());
            return Unnamed::Failed;
        }
        if (errno != EEXIST) break;
    }
    const bool noProc = errno == ENOENT;
    ::close(fd);
    return noProc ? Unnamed::Unsupported : Unnamed::Failed;
}

bool writeNamed(const std::string& target, const std::string& bytes, const struct stat* old) {
    std::string name;
    int fd = -1;
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        name = temporaryName(target, attempt);
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    const bool filled = fillTemporary(fd, bytes, old);
    if (::close(fd) != 0 || !filled || std::rename(name.c_str(), target.c_str()) != 0) {
        ::unlink(name.c_str());
        return false;
    }
    return true;
}

} // namespace

void writeFileAtomic(const std::string& path, const std::string& bytes) {
    const Error failure("In " + path + " kann nicht geschrieben werden");
    const std::optional<std::string> target = finalTarget(path);
    if (!target) throw failure;
    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    if (exists && !replaceable(*target, old)) throw failure;
    const struct stat* keep = exists ? &old : nullptr;
    Unnamed unnamed = writeUnnamed(*target, bytes, keep);
    if (unnamed == Unnamed::Unsupported) unnamed = writeNamed(*target, bytes, keep) ? Unnamed::Done : Unnamed::Failed;
    if (unnamed != Unnamed::Done) throw failure;
    syncFolder(*target);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

std::string directoryOf(const std::string& path) {
    const auto pos = path.find_last_of('/');
    return pos == std::string::npos ? std::string() : path.substr(0, pos);
}

std::string fileNameOf(const std::string& path) {
    const auto pos = path.find_last_of('/');
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

} // namespace v7300
