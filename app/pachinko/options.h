// pachinko's own command line, the same on every system: the options, the
// help text and the recording's head. Each system's main prints the answers
// its own way.
#pragma once

#include <string>

struct Options {
    int scale = 0;  // 0: the remembered one
    std::string record;
    std::string commandLine;  // the game's own: never begins with an option
};

// The help text; `scaleMemory` says, in lines indented like the others,
// where a chosen scale is remembered.
std::string usageText(const std::string& scaleMemory);

// Options come first; "--" or the first argument that is not an option ends
// them, and everything from there on is the game's own command line, so an
// option never reads as the tuning letter. Returns -1 to go on, else the exit
// code, with what to print in `out` (0: the help or the version) or `error`
// (2: a mistake).
int parseOptions(int argc, const char* const* argv, const std::string& usage, int maxScale, Options& options,
                 std::string& out, std::string& error);

// Starts the recording of options.record (a UTF-8 path) through `start`,
// writing how to replay it at its head. The saved game the session starts
// from is kept beside the recording, since the game overwrites it at exit.
bool startRecording(const Options& options, bool (*start)(const std::string& file, const std::string& header));
