// The data files where they are not plain files in a writable folder: a
// folder or a FIFO in a file's place, a folder that takes no new file, a symbolic
// link, and the permissions a save leaves.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/files.h"
#include "save/save_files.h"
#include "state/game_state.h"
#include "test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

mode_t modeOf(const fs::path& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Runs a piece of code with the permissions of an ordinary user: as root a
// read-only folder would not stop anything, so the effective user becomes
// "nobody" for the duration.
template <typename Action>
void asOrdinaryUser(Action action) {
    const uid_t before = ::geteuid();
    ASSERT_EQ(::seteuid(before == 0 ? 65534 : before), 0);
    action();
    ASSERT_EQ(::seteuid(before), 0);
}

PlayerRecord sample() { return PlayerRecord{5, 123456, 7, {{1, 103, 30}, {0, 0, 0}, {0, 0, 0}}, 1, 50000, 9, 0}; }

}  // namespace

// A folder or a FIFO where a data file belongs is not read: the player's
// file starts a new game, the course file ends the game. The FIFO has no
// writer: a reader that waited for one would hang here rather than pass.
TEST(DataFiles, AFolderOrAFifoInAFilesPlaceCannotBeOpened) {
    for (bool fifo : {false, true}) {
        for (bool course : {true, false}) {
            const char* name = course ? "tama.dat" : "pachiko.dat";
            SCOPED_TRACE(std::string(fifo ? "a FIFO as " : "a folder as ") + name);
            GameDir dir;
            if (!course) writeCourseFile("tama.dat");
            if (fifo) ASSERT_EQ(::mkfifo(name, 0644), 0);
            else fs::create_directory(name);
            game.player.day = 40;
            EXPECT_EQ(loadGame(), course ? 1 : 0);
            EXPECT_EQ(boxTexts(), std::vector<std::string>{course ? "設定ファイル読み出しに失敗" : "記憶ファイル読出失敗 新規作成"});
            EXPECT_EQ(game.player.day, course ? 40 : 0);  // without courses the record is never read
        }
    }
}

// A folder the player cannot add files to still lets him keep his progress
// in the pachiko.dat he may write.
TEST(DataFiles, AReadOnlyFolderWithAWritableFileIsWrittenInPlace) {
    GameDir dir;
    writeBytes("pachiko.dat", std::vector<uint8_t>(100, 0xAA));
    ASSERT_EQ(::chmod("pachiko.dat", 0666), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    game.player = sample();
    int saved = 1, savedWithoutFile = 1;
    asOrdinaryUser([&] {
        saved = saveGame();
        savedWithoutFile = platform::writeFileAtomically("other.dat", nullptr, 0) ? 0 : -1;
    });
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(savedWithoutFile, -1);  // no file to fall back on
    std::vector<uint8_t> bytes = readBytes("pachiko.dat");
    ASSERT_EQ(bytes.size(), 64u);  // the longer old file is cut to the record
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(DataFiles, ASymbolicLinkKeepsPointingAtTheSave) {
    GameDir dir;
    fs::create_directories("saves/real");
    writeBytes("saves/real/player.bin", std::vector<uint8_t>(64, 0));
    fs::create_symlink("real/player.bin", "saves/link.bin");  // relative to its own folder
    fs::create_symlink("saves/link.bin", "pachiko.dat");      // a chain of two
    game.player = sample();
    ASSERT_EQ(saveGame(), 0);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status("pachiko.dat")));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status("saves/link.bin")));
    EXPECT_EQ(readBytes("saves/real/player.bin")[0], 5);
    // Nothing was left beside the file.
    EXPECT_EQ(std::distance(fs::directory_iterator("saves/real"), fs::directory_iterator()), 1);

    // A loop of links is a file that cannot be created.
    fs::remove("pachiko.dat");
    fs::create_symlink("loop.dat", "pachiko.dat");
    fs::create_symlink("pachiko.dat", "loop.dat");
    EXPECT_EQ(saveGame(), -1);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status("pachiko.dat")));
}

TEST(DataFiles, NewFilesFollowTheUmaskAndOldFilesKeepTheirMode) {
    GameDir dir;
    game.player = sample();
    const mode_t previous = ::umask(0);
    const struct {
        mode_t umask, existing, expected;  // existing 0: no file before the save
    } saves[] = {{027, 0, 0640}, {077, 0604, 0604}, {002, 0, 0664}};
    for (const auto& save : saves) {
        if (save.existing) ASSERT_EQ(::chmod("pachiko.dat", save.existing), 0);
        else fs::remove("pachiko.dat");
        ::umask(save.umask);
        EXPECT_EQ(saveGame(), 0);
        EXPECT_EQ(modeOf("pachiko.dat"), save.expected) << std::oct << save.umask;
    }
    ::umask(previous);
}
