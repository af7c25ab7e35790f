// Helpers shared by the tests: a fresh process state in a temporary working
// directory, and small file utilities.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// The one way tests make a scratch folder: a new empty folder under the
// system's temporary folder, named after the running test, entered when
// asked (and left again), removed with everything in it afterwards.
class ScratchDir {
public:
    explicit ScratchDir(bool enter = false);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return dir_; }
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;  // empty unless entered
};

// A scratch folder, entered, with the game, the random source and the
// headless platform reset on the way in and out.
class GameDir {
public:
    GameDir();
    ~GameDir();
    std::filesystem::path path() const { return scratch_.path(); }

private:
    ScratchDir scratch_{true};
};

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::filesystem::path& path);
// A "tama.dat" of the right size whose every value is its own index.
void writeCourseFile(const std::filesystem::path& path);
// A whole file as text (empty when it cannot be read).
std::string readText(const std::filesystem::path& path);
// The integer after "key": in a state dump, searched from `from`; of an
// array, its first element. INT64_MIN when the field is absent.
int64_t dumpField(const std::string& json, const std::string& key, size_t from = 0);
// The event log lines that start with prefix.
std::vector<std::string> logLines(const std::string& prefix);
// The texts of the message boxes opened so far, in order.
std::vector<std::string> boxTexts();
// A pachiko.dat's bytes: the day, cash and balls given, the new game's
// credit line, the introduction switched off.
std::vector<uint8_t> playerFileBytes(int32_t day, int32_t cash, int32_t balls = 0);
// Runs a pachinko-headless script in workDir (dumps and log to outDir, or
// workDir); the game's exit code. A script that cannot run fails the test.
int runScript(const std::filesystem::path& workDir, const std::string& script,
              const std::filesystem::path& outDir = {});

}  // namespace testing_support
