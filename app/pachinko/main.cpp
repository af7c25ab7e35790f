// The game in its window.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/qt_backend.h"
#include "platform/window.h"
#include "shell/main_window.h"

namespace {

namespace fs = std::filesystem;

const char* const USAGE =
    "Usage: pachinko [OPTION]... [T]\n"
    "PACHINKO ろもぺ: make a living at pachinko. The game in its window.\n"
    "\n"
    "  T              as the first argument after the options: tuning mode, the\n"
    "                 editor of the 100 ball courses in tama.dat\n"
    "  --scale N      show the game area N times larger (1 to 8) with sharp\n"
    "                 pixels; the choice is remembered for later runs in the\n"
    "                 desktop's settings (~/.config/pachinko/pachinko.conf),\n"
    "                 never in the saved game\n"
    "  --record FILE  write every input of this session to FILE as a\n"
    "                 pachinko-headless script, to replay it exactly\n"
    "                 (the saved game it started from is copied to\n"
    "                 FILE.pachiko.dat)\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "The game reads its pictures, sounds and ball courses (tama.dat) from the\n"
    "working folder and keeps the saved game there (pachiko.dat). When the\n"
    "working folder has no tama.dat, the game switches into the folder the\n"
    "program lives in, so it can be started from anywhere, for example from\n"
    "the build folder.\n";

int usageError(const std::string& what) {
    std::fprintf(stderr, "pachinko: %s\nTry 'pachinko --help'.\n", what.c_str());
    return 2;
}

// The game reads its data files from the working folder. Started from
// elsewhere (a file manager, a desktop entry, a shell in another folder), it
// moves into the folder the program lives in, when that one holds the
// course file. A working folder with a "tama.dat" of its own, of whatever
// kind, is never left: the player's files there are the ones he meant.
void enterGameFolder() {
    std::error_code ec;
    if (fs::symlink_status("tama.dat", ec).type() != fs::file_type::not_found) return;
    fs::path home = fs::canonical("/proc/self/exe", ec).parent_path();
    if (!ec && fs::exists(home / "tama.dat", ec)) fs::current_path(home, ec);
}

struct Options {
    int scale = 0;  // 0: the remembered one
    std::string record;
    std::string commandLine;  // the game's own: never begins with an option
};

// Options come first; "--" or the first argument that is not an option ends
// them, and everything from there on is the game's own command line, so an
// option never reads as the tuning letter. Returns -1 to go on, else the exit
// code.
int parseOptions(int argc, char** argv, Options& options) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg.empty() || arg[0] != '-') break;
        if (arg == "--help" || arg == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("pachinko %s\n", PACHINKO_VERSION);
            return 0;
        }
        const bool takesValue = arg == "--scale" || arg == "--record";
        if (takesValue && i + 1 >= argc) return usageError(arg + " needs a value");
        if (arg == "--scale") {
            const char* value = argv[++i];
            char* end = nullptr;
            long n = std::strtol(value, &end, 10);
            if (*value == '\0' || *end != '\0' || n < 1 || n > platform::MAX_WINDOW_SCALE)
                return usageError("--scale takes a whole number from 1 to " +
                                  std::to_string(platform::MAX_WINDOW_SCALE) + ", not '" + value + "'");
            options.scale = static_cast<int>(n);
        } else if (arg == "--record") {
            options.record = argv[++i];
        } else {
            return usageError("unknown option '" + arg + "'");
        }
    }
    for (int first = i; i < argc; ++i) options.commandLine += (i > first ? " " : "") + std::string(argv[i]);
    return -1;
}

// The recording's head: how to replay it. The saved game the session starts
// from is kept beside the recording, since the game overwrites it at exit.
bool startRecording(const Options& options) {
    std::error_code ec;
    const fs::path file = fs::absolute(options.record, ec);
    std::string header =
        "# pachinko session, recorded by pachinko --record. Replay it with\n"
        "#   pachinko-headless --dir GAME-FOLDER --script " + file.filename().string() +
        (options.commandLine.empty() ? "" : " -- " + options.commandLine) + "\n";
    if (fs::is_regular_file("pachiko.dat", ec)) {
        fs::copy_file("pachiko.dat", file.string() + ".pachiko.dat", fs::copy_options::overwrite_existing, ec);
        header += "# in a copy of the game folder with " + file.filename().string() +
                  ".pachiko.dat as its pachiko.dat.\n";
    } else {
        header += "# in a copy of the game folder without pachiko.dat.\n";
    }
    return platform::startRecording(file.string(), header);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    // The whole command line is the game's: --help, --version and mistakes
    // are answered on the terminal before anything needs a display, and Qt
    // gets none of it (its settings come from the environment, such as
    // QT_QPA_PLATFORM).
    if (int code = parseOptions(argc, argv, options); code >= 0) return code;
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    platform::initApplication(qtArgc, qtArgv);
    platform::endOnSignals();
    if (options.scale != 0 && !platform::rememberWindowScale(options.scale))
        std::fprintf(stderr, "pachinko: the scale could not be remembered for later runs\n");
    enterGameFolder();
    if (!options.record.empty() && !startRecording(options)) {
        std::fprintf(stderr, "pachinko: cannot write the recording %s\n", options.record.c_str());
        return 2;
    }
    const int code = winMain(options.commandLine.c_str(), 1);
    platform::stopRecording();
    return code;
}
