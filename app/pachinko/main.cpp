// The game in its window.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "options.h"
#include "platform/qt_backend.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "shell/main_window.h"

namespace {

namespace fs = std::filesystem;

// Where a chosen scale is kept, in the help text.
const char* const SCALE_MEMORY =
    "                 desktop's settings (~/.config/pachinko/pachinko.conf),\n"
    "                 never in the saved game\n";

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

}  // namespace

int main(int argc, char** argv) {
    Options options;
    // The whole command line is the game's: --help, --version and mistakes
    // are answered on the terminal before anything needs a display, and Qt
    // gets none of it (its settings come from the environment, such as
    // QT_QPA_PLATFORM).
    std::string out, error;
    if (int code = parseOptions(argc, argv, usageText(SCALE_MEMORY), platform::MAX_WINDOW_SCALE, options, out, error);
        code >= 0) {
        std::fputs(code == 0 ? out.c_str() : error.c_str(), code == 0 ? stdout : stderr);
        return code;
    }
    // Opening the sound device takes tens of milliseconds; it opens while
    // the window and the pictures are made, and the sound set-up takes it.
    platform::prepareSoundDevice();
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    platform::initApplication(qtArgc, qtArgv);
    platform::endOnSignals();
    if (options.scale != 0 && !platform::rememberWindowScale(options.scale))
        std::fprintf(stderr, "pachinko: the scale could not be remembered for later runs\n");
    enterGameFolder();
    if (!options.record.empty() && !startRecording(options, platform::startRecording)) {
        std::fprintf(stderr, "pachinko: cannot write the recording %s\n", options.record.c_str());
        return 2;
    }
    const int code = winMain(options.commandLine.c_str(), 1);
    platform::stopRecording();
    return code;
}
