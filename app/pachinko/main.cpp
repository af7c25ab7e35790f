// The game in its window.
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/window.h"
#include "shell/main_window.h"

int main(int argc, char** argv) {
    platform::initApplication(argc, argv);
    // The game reads its data files from the working directory. Started from
    // elsewhere (a file manager, a desktop entry), use the folder the program
    // lives in when the data files are there.
    std::error_code ec;
    if (!std::filesystem::exists("tama.dat", ec) && argc > 0) {
        std::filesystem::path home = std::filesystem::canonical("/proc/self/exe", ec).parent_path();
        if (!ec && std::filesystem::exists(home / "tama.dat", ec)) std::filesystem::current_path(home, ec);
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    return winMain(commandLine.c_str(), 1);
}
