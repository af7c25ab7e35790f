// The game in its window, on Windows.
#include <string>
#include <vector>

#include "options.h"
#include "player_folder.h"
#include "platform/win_backend.h"
#include "platform/window.h"
#include "shell/main_window.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

namespace {

const char* const SCALE_MEMORY =
    "                 registry (HKEY_CURRENT_USER\\Software\\pachinko), never\n"
    "                 in the saved game; until one is chosen, the scale\n"
    "                 follows the screen's DPI\n";

std::wstring wide(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

// A console gets UTF-16 text; a file or a pipe the UTF-8 bytes.
bool writeTo(HANDLE handle, const std::string& text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring w = wide(text);
        return WriteConsoleW(handle, w.data(), static_cast<DWORD>(w.size()), &written, nullptr) != 0;
    }
    if (GetFileType(handle) == FILE_TYPE_UNKNOWN) return false;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
}

// pachinko.exe is a windowed program: its output goes where it was started
// from (a redirection, or the console of the command prompt), else, started
// from Explorer, into a box when `boxOtherwise`.
void say(const std::string& text, bool error, bool boxOtherwise) {
    if (writeTo(GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text)) return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        const bool written = writeTo(console, "\n" + text);
        if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
        if (written) return;
    }
    if (boxOtherwise)
        MessageBoxW(nullptr, wide(text).c_str(), L"pachinko", MB_OK | (error ? MB_ICONWARNING : MB_ICONINFORMATION));
}

// A file named on the command line, made absolute from the folder the game
// was started in, before the game moves into the folder it plays in.
std::string fullPath(const std::string& file) {
    const std::wstring name = wide(file);
    const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0) return file;
    std::wstring full(size, L'\0');
    const DWORD n = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    if (n == 0 || n >= size) return file;
    return utf8(full.c_str());
}

// Windows ends the session: the shutdown runs before the window answers.
int shutDownForSessionEnd(int quitCode) {
    const int code = shutDown(quitCode);
    platform::stopRecording();
    return code;
}

}  // namespace

int main() {
    // The command line as Windows has it, in UTF-16, so that a file name in
    // any script reaches the options intact.
    int argc = 0;
    LPWSTR* wideArgv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(utf8(wideArgv[i]));
    LocalFree(wideArgv);
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());

    Options options;
    std::string out, error;
    const int code = parseOptions(static_cast<int>(argv.size()), argv.data(), usageText(SCALE_MEMORY),
                                  platform::MAX_WINDOW_SCALE, options, out, error);
    if (code >= 0) {
        say(code == 0 ? out : error, code != 0, true);
        return code;
    }
    int noArgc = 0;
    platform::initApplication(noArgc, nullptr);
    if (options.scale != 0 && !platform::rememberWindowScale(options.scale))
        say("pachinko: the scale could not be remembered for later runs\n", true, false);
    if (!options.record.empty()) options.record = fullPath(options.record);
    // Installed, the game plays in the player's own folder (see player_folder.h).
    std::string folderError;
    if (!platform::win32::enterPlayFolder(folderError)) {
        say("pachinko: " + folderError + "\n", true, true);
        return 1;
    }
    if (!options.record.empty() && !startRecording(options, platform::startRecording)) {
        say("pachinko: cannot write the recording " + options.record + "\n", true, true);
        return 2;
    }
    platform::setSessionEndHandler(shutDownForSessionEnd);
    const int exitCode = winMain(options.commandLine.c_str(), SW_SHOWNORMAL);
    platform::stopRecording();
    return exitCode;
}
