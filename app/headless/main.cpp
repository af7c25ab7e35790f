// pachinko-headless [--dir DIR] [--out DIR] [--script FILE] [-- GAME-ARGS]
// pachinko-headless --soak TICKS [--seed N] [--dir DIR] [--out DIR]
// Runs the game without a window from a script (standard input when no file
// is given). Exits with the game's own exit code; 2 on a usage or script error.
// With --soak a random player plays instead, checking the game's rules after
// every tick: exit code 0 when they all held, 1 when one broke.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/headless.h"
#include "platform/window.h"
#include "runner.h"
#include "soak.h"

int main(int argc, char** argv) {
    platform::initApplication(argc, argv);
    headless::endOnSignals();
    RunOptions options;
    std::string scriptFile;
    int64_t soakTicks = -1;
    uint64_t seed = 1;
    auto number = [](const char* text, int64_t& out) {
        char* end = nullptr;
        long long value = std::strtoll(text, &end, 0);
        if (*end != '\0' || value < 0) return false;
        out = value;
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        int64_t value = 0;
        if (arg == "--soak" && i + 1 < argc && number(argv[i + 1], value)) {
            soakTicks = value;
            ++i;
        } else if (arg == "--seed" && i + 1 < argc && number(argv[i + 1], value)) {
            seed = static_cast<uint64_t>(value);
            ++i;
        } else if (arg == "--dir" && i + 1 < argc) {
            options.workDir = argv[++i];
        } else if (arg == "--out" && i + 1 < argc) {
            options.outDir = argv[++i];
        } else if (arg == "--script" && i + 1 < argc) {
            scriptFile = argv[++i];
        } else if (arg == "--") {
            for (++i; i < argc; ++i) options.commandLine += (options.commandLine.empty() ? "" : " ") + std::string(argv[i]);
        } else {
            std::cerr << "usage: pachinko-headless [--dir DIR] [--out DIR] [--script FILE] [-- GAME-ARGS]\n"
                         "       pachinko-headless --soak TICKS [--seed N] [--dir DIR] [--out DIR]\n";
            return 2;
        }
    }
    if (soakTicks >= 0) {
        SoakOptions soak;
        soak.workDir = options.workDir;
        soak.outDir = options.outDir;
        soak.ticks = soakTicks;
        soak.seed = seed;
        SoakReport report;
        std::string error;
        if (!runSoak(soak, report, error)) {
            std::cerr << "pachinko-headless: " << error << "\n";
            return 2;
        }
        std::cout << soakSummary(report);
        if (headless::endRequested()) std::cout << "stopped by a signal\n";
        return report.broken.empty() ? 0 : 1;
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
