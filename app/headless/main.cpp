// pachinko-headless [--dir DIR] [--out DIR] [--script FILE] [-- GAME-ARGS]
// Runs the game without a window from a script (standard input when no file
// is given). Exits with the game's own exit code; 2 on a usage or script error.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/window.h"
#include "runner.h"

int main(int argc, char** argv) {
    platform::initApplication(argc, argv);
    RunOptions options;
    std::string scriptFile;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc) {
            options.workDir = argv[++i];
        } else if (arg == "--out" && i + 1 < argc) {
            options.outDir = argv[++i];
        } else if (arg == "--script" && i + 1 < argc) {
            scriptFile = argv[++i];
        } else if (arg == "--") {
            for (++i; i < argc; ++i) options.commandLine += (options.commandLine.empty() ? "" : " ") + std::string(argv[i]);
        } else {
            std::cerr << "usage: pachinko-headless [--dir DIR] [--out DIR] [--script FILE] [-- GAME-ARGS]\n";
            return 2;
        }
    }
    std::stringstream text;
    if (scriptFile.empty() || scriptFile == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream in(scriptFile, std::ios::binary);
        if (!in) {
            std::cerr << "pachinko-headless: cannot read " << scriptFile << "\n";
            return 2;
        }
        text << in.rdbuf();
    }
    options.script = text.str();
    std::string error;
    int code = runHeadless(options, error);
    if (code == -1 && !error.empty()) {
        std::cerr << "pachinko-headless: " << error << "\n";
        return 2;
    }
    return code;
}
