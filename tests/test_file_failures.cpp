// The game against its files failing: every picture and sound missing in
// turn, a read-only folder and a full disk (small tmpfs mounts: skipped, and
// saying so, where this process may not mount), and saves killed at random
// moments.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "game_content.h"
#include "media/assets.h"
#include "platform/events.h"
#include "runner.h"
#include "save/save_files.h"
#include "state/game_state.h"
#include "test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Out of the home, into the middle parlour, seat 4: one purchase, the dial to
// 100, 600 ticks of play, away from the machine and out of the parlour, then
// the town. 1,000 ticks in all.
const char* const TOWN_AND_MACHINE =
    "mouse press 252 380\nmouse release 252 380\ntick 30\n"  // onto the home's door: out
    "mouse press 228 284\nmouse release 228 284\ntick 5\n"   // off the doorstep
    "mouse press 328 164\nmouse release 328 164\ntick 40\n"  // the middle parlour's door
    "mouse press 364 124\nmouse release 364 124\ntick 3\n"   // seat 4
    "mouse move 40 120\nmouse press 40 120\nmouse release 40 120\ntick 20\n"  // buy
    "mouse press 570 300\nmouse release 570 200\ntick 600\n"                 // dial 100, play
    "mouse press 570 20\nmouse release 570 20\ntick 5\n"                     // leave the machine
    "mouse press 332 196\nmouse release 332 196\ntick 40\n"                  // out of the parlour
    "mouse press 36 296\nmouse release 36 296\ntick 257\n";                  // the town

constexpr int32_t SCRIPT_TICKS = 1000;

// The record as the game holds it, in its file layout.
std::vector<uint8_t> recordImage() {
    std::vector<uint8_t> image(sizeof(PlayerRecord));
    std::memcpy(image.data(), &game.player, image.size());  // the file is little-endian, as this machine
    return image;
}

// A small tmpfs at `at`, unmounted on destruction; `mounted` is false where
// this process may not mount (that needs root or CAP_SYS_ADMIN).
struct Tmpfs {
    explicit Tmpfs(const fs::path& where) : at(where) {
        fs::create_directories(at);
        mounted = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=16m,mode=0755") == 0;
    }
    ~Tmpfs() {
        if (mounted) ::umount2(at.c_str(), MNT_DETACH);
    }
    fs::path at;
    bool mounted = false;
};

// Fills the file system until it takes no more bytes.
void fillUp(const fs::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::vector<char> block(4096, 'x');
    while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
    }
    std::fclose(f);
}

int temporaryFilesIn(const fs::path& dir) {
    int n = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        n += entry.path().filename().string().rfind("pachiko.dat.tmp-", 0) == 0;
    return n;
}

}  // namespace

// --- a picture or a sound missing ------------------------------------------------

// Each picture or sound missing in turn: a picture is passed over without a
// word, a sound gives its two messages (which sounds stay silent after it is
// the sound tests' matter); either way the game plays a day's errand in the
// town and at a machine and saves at the end.
TEST(FileFailures, EachMissingPictureOrSoundLetsTheGamePlayOn) {
    std::vector<std::string> missing;
    for (const PictureFile& picture : pictureFiles) missing.emplace_back(picture.file);
    for (const char* sound : {"base1.wav", "base2.wav", "tamade.wav"}) missing.emplace_back(sound);
    for (const std::string& file : missing) {
        SCOPED_TRACE(file);
        GameDir dir;
        gamecontent::copyInto(dir.path(), file);
        writeBytes(dir.path() / "pachiko.dat", playerFileBytes(3, 10000));
        ASSERT_EQ(runScript(dir.path(), TOWN_AND_MACHINE, dir.path() / "out"), 0);
        const bool sound = file.ends_with(".wav");
        const std::vector<std::string> soundBoxes = {"Waveファイルのオープンに失敗", "セカンダリ・バッファの作成に失敗"};
        EXPECT_EQ(boxTexts(), sound ? soundBoxes : std::vector<std::string>{});
        // Every tick ran, the machine sold its balls, and the day was saved.
        EXPECT_EQ(game.dayTicks, SCRIPT_TICKS);
        EXPECT_EQ(game.player.cash, 9900);
        EXPECT_EQ(readBytes(dir.path() / "pachiko.dat"), recordImage());
    }
}

// --- the working folder takes no writes: read-only, or a full disk ------------------

TEST(FileFailures, AFolderThatTakesNoWritesKeepsTheOldSaveWholeWithoutAWord) {
    for (bool full : {false, true}) {
        SCOPED_TRACE(full ? "a full disk" : "a read-only folder");
        GameDir dir;
        const fs::path d = dir.path() / "disk";
        Tmpfs disk(d);
        if (!disk.mounted) GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        gamecontent::copyInto(d);
        // Day −1 loads as day 0: the menu's file commands are open outdoors.
        const std::vector<uint8_t> before = playerFileBytes(-1, 7777);
        writeBytes(d / "pachiko.dat", before);
        if (full) fillUp(d / "filler");
        else ASSERT_EQ(::mount(nullptr, d.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        ASSERT_EQ(runScript(d, std::string(TOWN_AND_MACHINE) + "menu 15\ntick 1\nmenu 16\ntick 1\n", dir.path() / "out"), 0);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{});
        EXPECT_EQ(game.dayTicks, SCRIPT_TICKS + 2);
        // The menu's save and the one at exit both failed, silently; the load read the old file.
        EXPECT_EQ(logLines("save pachiko.dat"), (std::vector<std::string>{"save pachiko.dat failed", "save pachiko.dat failed"}));
        EXPECT_EQ(game.player.cash, 7777);
        EXPECT_EQ(readBytes(d / "pachiko.dat"), before);
        EXPECT_EQ(temporaryFilesIn(d), 0);
    }
}

// --- a save killed at a random moment --------------------------------------------------

// A child saves two records by turns as fast as it can and is killed with
// SIGKILL at a random moment, many times: the file is always exactly one of
// the two records, never torn, never short.
TEST(FileFailures, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewRecordWholeAndItsTemporaryIsCleared) {
    GameDir dir;
    resetGameState();
    newGame();
    const PlayerRecord a = game.player;
    PlayerRecord b = a;
    b.day = 0x01020304;
    b.cash = -1;
    auto bytesOf = [](const PlayerRecord& record) {
        game.player = record;
        EXPECT_EQ(saveGame(), 0);
        return readBytes("pachiko.dat");
    };
    const std::vector<uint8_t> bytesB = bytesOf(b);
    const std::vector<uint8_t> bytesA = bytesOf(a);

    std::mt19937 moment(20261206);
    pid_t gone = 0;
    for (int i = 0; i < 200; ++i) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (uint32_t k = 1;; ++k) {
                game.player = (k & 1) ? b : a;
                saveGame();
                platform::clearEventLog();
            }
        }
        ::usleep(200 + moment() % 4000);
        ::kill(child, SIGKILL);
        ASSERT_EQ(gone = ::waitpid(child, nullptr, 0), child);
        const std::vector<uint8_t> now = readBytes("pachiko.dat");
        ASSERT_TRUE(now == bytesA || now == bytesB) << "torn or short after kill " << i;
    }
    // A save killed before its rename leaves its temporary; each save clears
    // those of processes that are gone, so one more save leaves none. A save
    // under way in a live process (this one) and another file's temporaries
    // are left alone.
    const std::string alive = "pachiko.dat.tmp-" + std::to_string(::getpid()) + "-7";
    const std::string other = "tama.dat.tmp-" + std::to_string(gone) + "-0";
    for (const std::string& name : {alive, other}) writeBytes(name, {1, 2, 3});
    game.player = a;
    EXPECT_EQ(saveGame(), 0);
    EXPECT_EQ(temporaryFilesIn(dir.path()), 1);
    EXPECT_TRUE(fs::exists(alive) && fs::exists(other));
}
