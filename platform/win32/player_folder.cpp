#include "player_folder.h"

#include <windows.h>
// The known folders' ids defined here (each once, whoever else defines them),
// so that no uuid library is needed.
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cwctype>
#include <string_view>
#include <system_error>
#include <vector>

namespace platform::win32 {
namespace {

namespace fs = std::filesystem;

constexpr std::wstring_view COURSE_FILE = L"tama.dat";

std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

// The installed files a player's folder takes links to on Linux and copies
// of here: pictures, sounds and help. Executables, the uninstaller and the
// read-me stay in the program's folder.
bool isContent(const fs::path& file) {
    const std::wstring ext = lower(file.extension().wstring());
    return ext == L".bmp" || ext == L".wav" || ext == L".hlp";
}

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// Copies under a temporary name, then renames over the target, so that the
// target is either the old file or the whole new one. CopyFileW keeps the
// original's last-write time, which the next start compares.
bool copyWhole(const fs::path& source, const fs::path& target) {
    const fs::path temp = target.wstring() + L".new";
    if (!CopyFileW(source.c_str(), temp.c_str(), FALSE)) return false;
    // A read-only original would give a read-only copy that the next update
    // could not replace, and a "tama.dat" that tuning mode could not write.
    const DWORD attributes = GetFileAttributesW(temp.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(temp.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

// Whether the installed file must be copied over what the folder holds.
bool needsCopy(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (status.type() == fs::file_type::not_found) return true;
    if (status.type() != fs::file_type::regular) return false;  // the player's own, whatever it is
    const auto installed = fs::last_write_time(source, ec);
    if (ec) return false;
    const auto copy = fs::last_write_time(target, ec);
    return !ec && installed > copy;
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

fs::path programFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return fs::path(std::wstring(buffer.data(), length)).parent_path();
        buffer.resize(buffer.size() * 2);
    }
}

fs::path roamingAppData() {
    PWSTR found = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &found)))
        folder = found;
    CoTaskMemFree(found);
    return folder;
}

// Whether a file can be made in the folder: a temporary one that the system
// removes as soon as it is closed.
bool writable(const fs::path& folder) {
    const fs::path probe = folder / (L".pachinko-write-test-" + std::to_wstring(GetCurrentProcessId()));
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace

fs::path choosePlayFolder(const PlaceOfStart& start) {
    if (!sameFolder(start.working, start.program) && isFile(start.working / COURSE_FILE)) return start.working;
    if (!isFile(start.program / INSTALLED_MARKER) && start.programWritable) return start.program;
    return start.appData / PLAYER_FOLDER_NAME;
}

bool preparePlayerFolder(const fs::path& content, const fs::path& folder, std::string& error) {
    const fs::path courses = content / COURSE_FILE;
    if (!isFile(courses)) {
        error = "the game's files are missing from " + utf8(content);
        return false;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        error = "cannot make the folder " + utf8(folder);
        return false;
    }
    for (fs::directory_iterator it(content, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& source = it->path();
        if (!isContent(source) || !isFile(source)) continue;
        const fs::path target = folder / source.filename();
        if (needsCopy(source, target) && !copyWhole(source, target)) {
            error = "cannot copy " + utf8(source) + " to " + utf8(folder);
            return false;
        }
    }
    if (ec) {
        error = "cannot read the folder " + utf8(content);
        return false;
    }
    const fs::path ownCourses = folder / COURSE_FILE;
    if (fs::symlink_status(ownCourses, ec).type() == fs::file_type::not_found && !copyWhole(courses, ownCourses)) {
        error = "cannot copy " + utf8(courses) + " to " + utf8(folder);
        return false;
    }
    return true;
}

bool enterPlayFolder(std::string& error) {
    PlaceOfStart start;
    std::error_code ec;
    start.working = fs::current_path(ec);
    start.program = programFolder();
    if (start.program.empty()) {
        error = "cannot find the folder the game was started from";
        return false;
    }
    start.appData = roamingAppData();
    start.programWritable = writable(start.program);
    const fs::path folder = choosePlayFolder(start);
    if (folder == start.appData / PLAYER_FOLDER_NAME) {
        if (start.appData.empty()) {
            error = "cannot find the application data folder (%APPDATA%)";
            return false;
        }
        if (!preparePlayerFolder(start.program, folder, error)) return false;
    }
    if (!SetCurrentDirectoryW(folder.c_str())) {
        error = "cannot enter the folder " + utf8(folder);
        return false;
    }
    return true;
}

}  // namespace platform::win32
