// The player's folder on Windows: where the game plays and how the folder is
// filled from the installed content.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "player_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::win32::choosePlayFolder;
using platform::win32::preparePlayerFolder;

void write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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

TEST_F(PlayerFolder, ChoosesWhereToPlay) {
    const fs::path own = root / L"own", elsewhere = root / L"elsewhere";
    fs::create_directories(own);
    fs::create_directories(elsewhere);
    write(own / "tama.dat", "his");
    struct Case {
        const char* what;
        fs::path working;
        bool installed, writable;
        fs::path expected;
    } cases[] = {
        {"portable, writable", program, false, true, program},
        {"portable, read-only", program, false, false, player},
        {"installed, even where it could write", program, true, true, player},
        {"started elsewhere", elsewhere, false, true, program},
        {"in a folder with courses of his own", own, true, false, own},
    };
    for (const Case& c : cases) {
        if (c.installed) write(program / "uninstall.exe", "");
        else fs::remove(program / "uninstall.exe");
        EXPECT_EQ(choosePlayFolder({c.working, program, root / L"AppData", c.writable}), c.expected) << c.what;
    }
}

TEST_F(PlayerFolder, KeepsThePlayersFilesAndTakesUpdates) {
    ASSERT_TRUE(preparePlayerFolder(program, player, error)) << error;
    for (const char* name : {"back1.bmp", "base1.wav", "pachi.hlp", "tama.dat"})
        EXPECT_EQ(read(player / name), std::string("installed ") + name) << name;
    for (const char* name : {"pachinko.exe", "README.txt", "tama.dat.new"}) EXPECT_FALSE(fs::exists(player / name)) << name;

    write(player / "tama.dat", "tuned");  // tuning mode wrote his courses
    write(player / "base1.wav", "his own sound");
    fs::remove(player / "pachi.hlp");
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
    EXPECT_EQ(read(player / "pachi.hlp"), "installed pachi.hlp");
}

TEST_F(PlayerFolder, RefusesWithoutCoursesOrFolder) {
    write(root / "file", "");
    EXPECT_FALSE(preparePlayerFolder(program, root / "file" / "pachinko", error));
    EXPECT_NE(error.find("cannot make the folder"), std::string::npos) << error;
    fs::remove(program / "tama.dat");
    EXPECT_FALSE(preparePlayerFolder(program, player, error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(player));
}

}  // namespace
