// The two data files on Windows: every name goes to the system as UTF-16,
// so a player whose folder has Japanese (or any) characters in its path can
// play and save. The rules are those of the POSIX version (files.cpp).
#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/files.h"

namespace platform {
namespace {
namespace fs = std::filesystem;

int writesToFail = 0;

constexpr int MAX_LINK_HOPS = 40;
constexpr int TEMP_NAME_TRIES = 100;
// ReadFile and WriteFile take 32-bit counts.
constexpr DWORD MAX_CHUNK = 1u << 30;

fs::path fromUtf8(const std::string& name) { return fs::path(std::u8string(name.begin(), name.end())); }

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h != INVALID_HANDLE_VALUE; }
    bool close() {
        if (!valid()) return true;
        const bool ok = CloseHandle(h) != 0;
        h = INVALID_HANDLE_VALUE;
        return ok;
    }
};

// Only a file on a disk: a folder cannot be opened this way at all, and a
// pipe or a device in the file's place is refused.
bool isRegular(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool writeAll(HANDLE h, const uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > MAX_CHUNK ? MAX_CHUNK : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(h, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

fs::path followLinks(const fs::path& name) {
    fs::path path = name;
    for (int hop = 0; hop <= MAX_LINK_HOPS; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
        fs::path target = fs::read_symlink(path, ec);
        if (ec) return path;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return fs::path();
}

bool processIsGone(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process) {
        DWORD code = 0;
        const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
        CloseHandle(process);
        return !running;
    }
    // No such process; one we may not look at is taken as alive.
    return GetLastError() == ERROR_INVALID_PARAMETER;
}

void removeStaleTemporaries(const fs::path& target) {
    const std::wstring prefix = target.filename().wstring() + L".tmp-";
    std::vector<fs::path> stale;
    std::error_code ec;
    for (fs::directory_iterator it(target.parent_path().empty() ? fs::path(L".") : target.parent_path(), ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::wstring name = it->path().filename().wstring();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        wchar_t* rest = nullptr;
        const unsigned long pid = std::wcstoul(name.c_str() + prefix.size(), &rest, 10);
        if (pid > 0 && *rest == L'-' && processIsGone(static_cast<DWORD>(pid))) stale.push_back(it->path());
    }
    for (const fs::path& file : stale) fs::remove(file, ec);
}

HANDLE createTemporary(const fs::path& target, fs::path& temp) {
    for (int attempt = 0; attempt < TEMP_NAME_TRIES; ++attempt) {
        temp = target;
        temp += L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
        HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeInPlace(const fs::path& path, const uint8_t* bytes, std::size_t size) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    bool ok = isRegular(file.h) && writeAll(file.h, bytes, size) && SetEndOfFile(file.h) &&
              FlushFileBuffers(file.h);
    ok = file.close() && ok;
    return ok;
}

// Puts the temporary in the target's place in one step. ReplaceFileW keeps
// the old file's attributes and permissions, as the POSIX version keeps its
// mode; a new file is simply moved there, written through to the disk. As
// on POSIX systems, where the folder decides, a read-only save is replaced
// and stays read-only.
bool replaceWith(const fs::path& temp, const fs::path& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !SetFileAttributesW(target.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY})) return false;
    const bool ok =
        ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
        MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (readOnly) SetFileAttributesW(target.c_str(), attributes);
    return ok;
}
}  // namespace

bool readFilePrefix(const std::string& name, std::size_t maxBytes, std::vector<uint8_t>& out) {
    out.clear();
    Handle file(CreateFileW(fromUtf8(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !isRegular(file.h)) return false;
    out.resize(maxBytes);
    std::size_t got = 0;
    while (got < maxBytes) {
        const std::size_t want = maxBytes - got;
        DWORD n = 0;
        if (!ReadFile(file.h, out.data() + got, want > MAX_CHUNK ? MAX_CHUNK : static_cast<DWORD>(want), &n, nullptr) ||
            n == 0)
            break;
        got += n;
    }
    out.resize(got);
    return true;
}

bool writeFileAtomically(const std::string& name, const uint8_t* bytes, std::size_t size) {
    const fs::path target = followLinks(fromUtf8(name));
    if (target.empty()) return false;
    removeStaleTemporaries(target);
    fs::path temp;
    Handle file(createTemporary(target, temp));
    if (!file.valid()) return writeInPlace(target, bytes, size);
    bool ok;
    if (writesToFail > 0) {
        --writesToFail;
        writeAll(file.h, bytes, size / 2);
        ok = false;
    } else {
        ok = writeAll(file.h, bytes, size) && FlushFileBuffers(file.h);
    }
    ok = file.close() && ok;
    if (ok) ok = replaceWith(temp, target);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

void failNextFileWrites(int count) { writesToFail = count; }

}  // namespace platform
#endif
