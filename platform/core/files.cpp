#include "platform/files.h"

// POSIX systems; Windows has files_win32.cpp.
#ifndef _WIN32

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {
int writesToFail = 0;

// As many links as the system itself follows before it gives up.
constexpr int MAX_LINK_HOPS = 40;
// Attempts at a temporary name nobody else has taken.
constexpr int TEMP_NAME_TRIES = 100;

bool writeAll(int fd, const uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool isRegular(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// The file a save really replaces: symbolic links are followed to the file
// they name, so that the link itself stays. Empty for a loop of links.
std::string followLinks(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path path = name;
    for (int hop = 0; hop <= MAX_LINK_HOPS; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return path.string();
        fs::path target = fs::read_symlink(path, ec);
        if (ec) return path.string();
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return std::string();
}

// Temporaries that a save killed before its rename left beside the target
// (named target.tmp-PID-N) are removed once the process that made them is
// gone; a live one may be saving right now.
void removeStaleTemporaries(const std::string& target) {
    namespace fs = std::filesystem;
    const fs::path path(target);
    const std::string prefix = path.filename().string() + ".tmp-";
    std::vector<fs::path> stale;
    std::error_code ec;
    for (fs::directory_iterator it(path.parent_path().empty() ? fs::path(".") : path.parent_path(), ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        char* rest = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &rest, 10);
        if (pid > 0 && *rest == '-' && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            stale.push_back(it->path());
    }
    for (const fs::path& file : stale) fs::remove(file, ec);
}

// A new temporary file beside the target. The system gives it the mode the
// user's umask allows, as for any new file; -1 when the folder takes none.
int createTemporary(const std::string& target, std::string& temp) {
    for (int attempt = 0; attempt < TEMP_NAME_TRIES; ++attempt) {
        temp = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The last resort when the folder takes no temporary file: overwrite an
// existing, writable regular file where it is (then cut it to size), so that
// the progress is kept even though this write could tear.
bool writeInPlace(const std::string& path, const uint8_t* bytes, std::size_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = isRegular(fd) && writeAll(fd, bytes, size) && ::ftruncate(fd, static_cast<off_t>(size)) == 0 &&
              ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok;
}
}  // namespace

bool readFilePrefix(const std::string& name, std::size_t maxBytes, std::vector<uint8_t>& out) {
    out.clear();
    // Not blocking on the open: a FIFO in the file's place must not hang the
    // game; it and a folder are refused as files that cannot be opened.
    int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    if (!isRegular(fd)) {
        ::close(fd);
        return false;
    }
    out.resize(maxBytes);
    std::size_t got = 0;
    while (got < maxBytes) {
        ssize_t n = ::read(fd, out.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    ::close(fd);
    return true;
}

bool writeFileAtomically(const std::string& name, const uint8_t* bytes, std::size_t size) {
    std::string target = followLinks(name);
    if (target.empty()) return false;
    removeStaleTemporaries(target);
    std::string temp;
    int fd = createTemporary(target, temp);
    if (fd < 0) return writeInPlace(target, bytes, size);
    bool ok;
    if (writesToFail > 0) {
        --writesToFail;
        writeAll(fd, bytes, size / 2);
        ok = false;
    } else {
        ok = writeAll(fd, bytes, size) && ::fsync(fd) == 0;
    }
    // A file that was there keeps its permissions.
    struct stat old;
    if (ok && ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

void failNextFileWrites(int count) { writesToFail = count; }

}  // namespace platform
#endif
