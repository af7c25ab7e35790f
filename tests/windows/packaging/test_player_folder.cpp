// The player's folder on Windows: where the game plays and how the folder is
// filled from the installed content.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "player_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::win32::choosePlayFolder;
using platform::win32::preparePlayerFolder;

void write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

std::string read(const fs::path& file) { return (std::ostringstream() << std::ifstream(file).rdbuf()).str(); }

void age(const fs::path& file) { fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1)); }

class PlayerFolder : public ::testing::Test {
protected:
    // A name no code page holds: the folder must be handled in UTF-16 throughout.
    fs::path root = fs::temp_directory_path() / (L"pachinko-山田-" + std::to_wstring(GetCurrentProcessId()));
    fs::path program = root / L"Program Files";
    fs::path player = root / L"AppData" / L"pachinko";
    std::string error;

    void SetUp() override {
        fs::create_directories(program);
        for (const char* name : {"back1.bmp", "base1.wav", "pachi.hlp", "tama.dat", "pachinko.exe", "README.txt"})
            write(program / name, std::string("installed ") + name);
    }
    void TearDown() override { fs::remove_all(root); }
};

// A portable copy plays where it lies when it can write there. (An installed
// copy plays in the player's folder: the installer test starts one; a folder
// with courses of his own wins over both: the Wine window journey plays in one.)
TEST_F(PlayerFolder, ChoosesWhereToPlay) {
    struct Case {
        const char* what;
        fs::path working;
        bool writable;
        fs::path expected;
    } cases[] = {
        {"portable, writable", program, true, program},
        {"portable, read-only", program, false, player},
        {"started in a folder without courses", root, true, program},
    };
    for (const Case& c : cases)
        EXPECT_EQ(choosePlayFolder({c.working, program, root / L"AppData", c.writable}), c.expected) << c.what;
}

TEST_F(PlayerFolder, KeepsThePlayersFilesAndTakesUpdates) {
    // The first start copies the content (the installer test compares the
    // courses) and leaves the program, the notes and no temporary behind.
    ASSERT_TRUE(preparePlayerFolder(program, player, error)) << error;
    for (const char* name : {"pachinko.exe", "README.txt", "tama.dat.new"}) EXPECT_FALSE(fs::exists(player / name)) << name;

    write(player / "tama.dat", "tuned");  // tuning mode wrote his courses
    write(player / "base1.wav", "his own sound");
    // An update: the installed files newer than the copies, but for the sound
    // the player replaced after it.
    for (const char* name : {"back1.bmp", "tama.dat"}) {
        write(program / name, "updated");
        age(player / name);
    }
    age(program / "base1.wav");
    ASSERT_TRUE(preparePlayerFolder(program, player, error)) << error;
    EXPECT_EQ(read(player / "tama.dat"), "tuned");
    EXPECT_EQ(read(player / "base1.wav"), "his own sound");
    EXPECT_EQ(read(player / "back1.bmp"), "updated");
}

// Content without its courses is not the game's: no folder is made from it.
// A folder that cannot be made (a file stands in its place) is said so.
TEST_F(PlayerFolder, RefusesContentWithoutCoursesAndAFolderItCannotMake) {
    fs::remove(program / "tama.dat");
    EXPECT_FALSE(preparePlayerFolder(program, player, error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(player));

    write(program / "tama.dat", "installed tama.dat");
    fs::create_directories(player.parent_path());
    write(player, "a file where the folder goes");
    EXPECT_FALSE(preparePlayerFolder(program, player, error));
    EXPECT_NE(error.find("cannot make the folder"), std::string::npos) << error;
}

}  // namespace
