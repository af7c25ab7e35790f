// The data files where they are not plain files in a writable folder: a
// folder or a FIFO in a file's place, a folder that takes no new file, a
// symbolic link, and the permissions a save leaves.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/headless.h"
#include "save/save_files.h"
#include "state/game_state.h"
#include "test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

constexpr const char* COURSE_FAILURE = "設定ファイル読み出しに失敗";
constexpr const char* PLAYER_FAILURE = "記憶ファイル読出失敗 新規作成";

mode_t modeOf(const fs::path& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A FIFO holding `size` bytes, its writing end held open by the test itself:
// a reader that opens it is never kept waiting and a read of `size` bytes
// returns at once, so a program that took the FIFO for a file would read it
// rather than hang, and the test would catch that.
class FilledFifo {
public:
    FilledFifo(const char* name, std::size_t size) {
        if (::mkfifo(name, 0644) != 0) return;
        fd_ = ::open(name, O_RDWR | O_NONBLOCK);
        std::vector<uint8_t> bytes(size, 7);
        if (fd_ >= 0 && ::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(size)) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FilledFifo() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ready() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Runs a piece of code with the permissions of an ordinary user: as root a
// read-only folder would not stop anything, so the effective user becomes
// "nobody" for the duration.
template <typename Action>
void asOrdinaryUser(Action action) {
    bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    action();
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
}

PlayerRecord sample() { return PlayerRecord{5, 123456, 7, {{1, 103, 30}, {0, 0, 0}, {0, 0, 0}}, 1, 50000, 9, 0}; }

}  // namespace

// A folder or a FIFO where a data file belongs is not read: the player's
// file starts a new game, the course file ends the game.
TEST(DataFiles, AFolderOrAFifoInAFilesPlaceCannotBeOpened) {
    for (bool fifo : {false, true}) {
        for (bool course : {true, false}) {
            const char* name = course ? "tama.dat" : "pachiko.dat";
            SCOPED_TRACE(std::string(fifo ? "a FIFO as " : "a folder as ") + name);
            GameDir dir;
            if (!course) writeCourseFile("tama.dat");
            std::optional<FilledFifo> pipe;
            if (fifo) {
                pipe.emplace(name, course ? COURSE_FILE_SIZE : PLAYER_FILE_SIZE);
                ASSERT_TRUE(pipe->ready());
            } else {
                fs::create_directory(name);
            }
            game.player.day = 40;
            EXPECT_EQ(loadGame(), course ? 1 : 0);
            EXPECT_EQ(boxTexts(), std::vector<std::string>{course ? COURSE_FAILURE : PLAYER_FAILURE});
            if (!course) EXPECT_EQ(game.player.day, 0);
            if (!course) EXPECT_EQ(game.player.cash, 10000);
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
    EXPECT_EQ(bytes[4] | bytes[5] << 8 | bytes[6] << 16, 123456);
    EXPECT_EQ(modeOf("pachiko.dat"), 0666u);
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
    // Nothing was left beside the link or the file.
    EXPECT_EQ(std::distance(fs::directory_iterator("saves/real"), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    // A link to a file not yet there makes the file.
    fs::remove("pachiko.dat");
    fs::create_symlink("saves/new.bin", "pachiko.dat");
    ASSERT_EQ(saveGame(), 0);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status("pachiko.dat")));
    EXPECT_EQ(readBytes("saves/new.bin").size(), 64u);

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
