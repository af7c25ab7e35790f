#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {
int writesToFail = 0;

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
}  // namespace

bool readFilePrefix(const std::string& name, std::size_t maxBytes, std::vector<uint8_t>& out) {
    out.clear();
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) return false;
    out.resize(maxBytes);
    std::size_t got = std::fread(out.data(), 1, maxBytes, f);
    out.resize(got);
    std::fclose(f);
    return true;
}

bool writeFileAtomically(const std::string& name, const uint8_t* bytes, std::size_t size) {
    std::string temp = name + ".tmp-XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok;
    if (writesToFail > 0) {
        --writesToFail;
        writeAll(fd, bytes, size / 2);
        ok = false;
    } else {
        ok = writeAll(fd, bytes, size) && ::fsync(fd) == 0;
    }
    // mkstemp makes the file private; data files are ordinary user files.
    ok = ::fchmod(fd, 0644) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), name.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

void failNextFileWrites(int count) { writesToFail = count; }

}  // namespace platform
