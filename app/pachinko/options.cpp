#include "options.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// Paths travel as UTF-8 on every system.
fs::path fromUtf8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }
std::string toUtf8(const fs::path& p) {
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

std::string usageError(const std::string& what) { return "pachinko: " + what + "\nTry 'pachinko --help'.\n"; }

}  // namespace

std::string usageText(const std::string& scaleMemory) {
    return "Usage: pachinko [OPTION]... [T]\n"
           "PACHINKO ろもぺ: make a living at pachinko. The game in its window.\n"
           "\n"
           "  T              as the first argument after the options: tuning mode, the\n"
           "                 editor of the 100 ball courses in tama.dat\n"
           "  --scale N      show the game area N times larger (1 to 8) with sharp\n"
           "                 pixels; the choice is remembered for later runs in the\n" +
           scaleMemory +
           "  --record FILE  write every input of this session to FILE as a\n"
           "                 pachinko-headless script, to replay it exactly\n"
           "                 (the saved game it started from is copied to\n"
           "                 FILE.pachiko.dat)\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "The game reads its pictures, sounds and ball courses (tama.dat) from the\n"
           "working folder and keeps the saved game there (pachiko.dat). When the\n"
#ifdef _WIN32
           "working folder has no tama.dat, an installed game plays in\n"
           "%APPDATA%\\pachinko, and a portable one in the folder the program lives in\n"
           "(in %APPDATA%\\pachinko when it may not write there).\n";
#else
           "working folder has no tama.dat, the game switches into the folder the\n"
           "program lives in, so it can be started from anywhere, for example from\n"
           "the build folder.\n";
#endif
}

int parseOptions(int argc, const char* const* argv, const std::string& usage, int maxScale, Options& options,
                 std::string& out, std::string& error) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg.empty() || arg[0] != '-') break;
        if (arg == "--help" || arg == "-h") {
            out = usage;
            return 0;
        }
        if (arg == "--version") {
            out = std::string("pachinko ") + PACHINKO_VERSION + "\n";
            return 0;
        }
        const bool takesValue = arg == "--scale" || arg == "--record";
        if (takesValue && i + 1 >= argc) {
            error = usageError(arg + " needs a value");
            return 2;
        }
        if (arg == "--scale") {
            const char* value = argv[++i];
            char* end = nullptr;
            long n = std::strtol(value, &end, 10);
            if (*value == '\0' || *end != '\0' || n < 1 || n > maxScale) {
                error = usageError("--scale takes a whole number from 1 to " + std::to_string(maxScale) + ", not '" +
                                   value + "'");
                return 2;
            }
            options.scale = static_cast<int>(n);
        } else if (arg == "--record") {
            options.record = argv[++i];
        } else {
            error = usageError("unknown option '" + arg + "'");
            return 2;
        }
    }
    for (int first = i; i < argc; ++i) options.commandLine += (i > first ? " " : "") + std::string(argv[i]);
    return -1;
}

bool startRecording(const Options& options, bool (*start)(const std::string& file, const std::string& header)) {
    std::error_code ec;
    const fs::path file = fs::absolute(fromUtf8(options.record), ec);
    const std::string name = toUtf8(file.filename());
    std::string header =
        "# pachinko session, recorded by pachinko --record. Replay it with\n"
        "#   pachinko-headless --dir GAME-FOLDER --script " + name +
        (options.commandLine.empty() ? "" : " -- " + options.commandLine) + "\n";
    if (fs::is_regular_file("pachiko.dat", ec)) {
        fs::path copy = file;
        copy += ".pachiko.dat";
        // Removed first rather than overwritten: MinGW's copy_file refuses
        // every existing target, whatever the options say.
        fs::remove(copy, ec);
        fs::copy_file("pachiko.dat", copy, ec);
        header += "# in a copy of the game folder with " + name + ".pachiko.dat as its pachiko.dat.\n";
    } else {
        header += "# in a copy of the game folder without pachiko.dat.\n";
    }
    return start(toUtf8(file), header);
}
