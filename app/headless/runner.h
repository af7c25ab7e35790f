// pachinko-headless: the whole game on the headless backend, driven by a
// script of timed events (see docs/headless.md).
#pragma once

#include <string>

struct RunOptions {
    std::string workDir = ".";   // the game's working directory (its data files)
    std::string script;          // the script's text
    std::string outDir;          // where dumps, screenshots and the log go; empty: workDir
    std::string commandLine;     // the game's command line (e.g. "T" for tuning mode)
};

// Runs the game from start-up to its end. Returns the game's exit code, or −1
// when the script cannot be parsed or a folder cannot be entered (error says
// why). Writes <outDir>/log.txt (the event log) and <outDir>/state.json (the
// game state at the end).
int runHeadless(const RunOptions& options, std::string& error);

// Chooses a menu command as a player would: its pop-up is opened first, so
// the greying rule runs, and a greyed item is not chosen (the log says so).
// The command itself is posted, to run with the next message. False when it
// was not chosen.
bool chooseMenu(int32_t commandId);

// Puts the process back to how it starts: game state, random source, the
// headless platform. The tests call it between cases.
void resetProcess();
