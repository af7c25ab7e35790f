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
using platform::win32::PlaceOfStart;
using platform::win32::preparePlayerFolder;

void write(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PlayerFolder : public ::testing::Test {
protected:
    // A name no code page holds: the folder must be handled in UTF-16 throughout.
    fs::path root = fs::temp_directory_path() / (L"pachinko-folder-山田-" + std::to_wstring(GetCurrentProcessId()));
    fs::path program = root / L"Program Files" / L"Pachinko";
    fs::path appData = root / L"AppData";
    fs::path player = appData / L"pachinko";

    void SetUp() override {
        fs::create_directories(program);
        for (const char* name : {"back1.bmp", "base1.wav", "pachi.hlp", "tama.dat", "pachinko.exe", "README.txt"})
            write(program / name, std::string("installed ") + name);
    }
    void TearDown() override { fs::remove_all(root); }

    void age(const fs::path& file, int hours) {
        fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(hours));
    }
};

TEST_F(PlayerFolder, ChoosesWhereToPlay) {
    const fs::path own = root / L"own";
    fs::create_directories(own);
    write(own / "tama.dat", "his");
    const fs::path empty = root / L"elsewhere";
    fs::create_directories(empty);
    struct Case {
        const char* what;
        fs::path working;
        bool installed;
        bool writable;
        fs::path expected;
    } cases[] = {
        {"portable, writable", program, false, true, program},
        {"portable, read-only", program, false, false, player},
        {"installed, even where it could write", program, true, true, player},
        {"started elsewhere", empty, false, true, program},
        {"in a folder with courses of his own", own, true, false, own},
    };
    for (const Case& c : cases) {
        if (c.installed) write(program / "uninstall.exe", "");
        else fs::remove(program / "uninstall.exe");
        EXPECT_EQ(choosePlayFolder(PlaceOfStart{c.working, program, appData, c.writable}), c.expected) << c.what;
    }
}

TEST_F(PlayerFolder, FirstStartCopiesTheContentOnly) {
    std::string error;
    ASSERT_TRUE(preparePlayerFolder(program, player, error)) << error;
    for (const char* name : {"back1.bmp", "base1.wav", "pachi.hlp", "tama.dat"})
        EXPECT_EQ(read(player / name), std::string("installed ") + name) << name;
    for (const char* name : {"pachinko.exe", "README.txt", "tama.dat.new"}) EXPECT_FALSE(fs::exists(player / name)) << name;
}

TEST_F(PlayerFolder, LaterStartsKeepThePlayersFilesAndTakeUpdates) {
    std::string error;
    ASSERT_TRUE(preparePlayerFolder(program, player, error)) << error;
    write(player / "tama.dat", "tuned");  // tuning mode wrote his courses
    write(player / "base1.wav", "his own sound");
    fs::remove(player / "pachi.hlp");
    // An update of the game: every installed file newer than the copies,
    // except the sound the player replaced after the update.
    for (const char* name : {"back1.bmp", "tama.dat"}) {
        write(program / name, std::string("updated ") + name);
        age(player / name, 1);
    }
    age(program / "base1.wav", 1);

    ASSERT_TRUE(preparePlayerFolder(program, player, error)) << error;
    EXPECT_EQ(read(player / "tama.dat"), "tuned");
    EXPECT_EQ(read(player / "base1.wav"), "his own sound");
    EXPECT_EQ(read(player / "back1.bmp"), "updated back1.bmp");
    EXPECT_EQ(read(player / "pachi.hlp"), "installed pachi.hlp");
}

TEST_F(PlayerFolder, RefusesWithoutCoursesOrFolder) {
    std::string error;
    write(root / "file", "");
    EXPECT_FALSE(preparePlayerFolder(program, root / "file" / "pachinko", error));
    EXPECT_NE(error.find("cannot make the folder"), std::string::npos) << error;
    fs::remove(program / "tama.dat");
    EXPECT_FALSE(preparePlayerFolder(program, player, error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(player));
}

}  // namespace
