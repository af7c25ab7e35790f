// The game in its window.
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/window.h"
#include "shell/main_window.h"

namespace {

// The game reads its data files from the working folder. Started from
// elsewhere (a file manager, a desktop entry, a shell in another folder), it
// moves into the folder the program lives in, when that one holds the
// course file. A working folder with a "tama.dat" of its own, of whatever
// kind, is never left: the player's files there are the ones he meant.
void enterGameFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::symlink_status("tama.dat", ec).type() != fs::file_type::not_found) return;
    fs::path home = fs::canonical("/proc/self/exe", ec).parent_path();
    if (!ec && fs::exists(home / "tama.dat", ec)) fs::current_path(home, ec);
}

}  // namespace

int main(int argc, char** argv) {
    platform::initApplication(argc, argv);
    enterGameFolder();
    std::string commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    return winMain(commandLine.c_str(), 1);
}
