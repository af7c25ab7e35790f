// Fuzzes the whole game from its data files and its input: an arbitrary
// "pachiko.dat" and "tama.dat", then ticks of arbitrary keys, clicks, menu
// commands, dialog typing and clicks, and message-box answers, played on the
// headless backend from start-up to the save at the end. Beyond the
// sanitizers it checks after every tick the rules of the game's own run-time
// fields, which hold whatever the saved files say (see soak.h), and that the
// save at the end writes a whole record.
//
// The input, byte by byte:
//   0        set-up: bit 0 pictures and sounds present (the ball sound in
//            every sound's place), bit 1 tuning mode,
//            bit 2 no "tama.dat", bit 3 no sound device
//   1        length of "pachiko.dat": 0..64, anything above: no file
//   2..65    its bytes
//   66, 67   length of the actions, little-endian
//   ...      the actions (below); what follows them is "tama.dat" (up to
//            32,000 bytes)
#include <QtGlobal>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/events.h"
#include "platform/headless.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "runner.h"
#include "shell/main_window.h"
#include "soak.h"
#include "state_dump.h"
#include "state/game_state.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

constexpr size_t PLAYER_AT = 2;
constexpr size_t ACTIONS_AT = 68;
constexpr size_t COURSE_BYTES = 32000;
// Enough for a walk, a visit and a few hundred balls; closing time (72,000
// ticks) is the soak's business.
constexpr int TICK_BUDGET = 1500;
constexpr int MAX_BOX_DEPTH = 3;

fs::path fullFolder;  // the generated pictures and sounds
fs::path bareFolder;  // neither

void check(const std::string& broken) {
    if (broken.empty()) return;
    std::fprintf(stderr, "broken: %s\n", broken.c_str());
    std::abort();
}

void writeFile(const fs::path& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at;
    bool more() const { return at < size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    int word() { return byte() | (byte() << 8); }
};

// The templates and their controls, to pick a dialog and a control from a byte.
const DialogTemplate* const TEMPLATES[] = {&SOUND_DIALOG, &ABOUT_DIALOG, &HOME_DIALOG, &BANK_DIALOG, &INTRO_DIALOG};
const char* const AMOUNTS[] = {"100", "10000", "0", "-5", "99999999", "abc", " +12", "", "1e5", "50000"};
// Points where a click does something (the walker jumps to the pointer less
// 16 pixels): the town's doors, spots, counters, booth, seats and parlour
// doors out, then the parlour's lender, dial, stop and leave buttons, then two
// points off the picture.
const int POINTS[][2] = {{252, 380}, {462, 380}, {116, 164}, {328, 164}, {536, 164}, {228, 284}, {332, 284},
                         {340, 320}, {420, 320}, {500, 320}, {580, 320}, {36, 296},  {20, 124},  {116, 124},
                         {364, 124}, {600, 124}, {164, 196}, {332, 196}, {480, 196}, {40, 120},  {570, 300},
                         {570, 200}, {578, 398}, {570, 20},  {-40, 900}, {700, 40}};
const uint32_t KEYS[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_ESCAPE, VK_F12, VK_0 + 5, VK_F1, VK_INSERT, VK_DELETE};

struct Play {
    Reader in;
    int ticks = 0;
    int boxDepth = 0;
    int64_t keyTicks = 0;  // a held key's walk still to run
    uint32_t heldKey = 0;
};
Play play;

bool outOfTicks() { return play.ticks >= TICK_BUDGET; }

void tickOnce() {
    ++play.ticks;
    headless::post(MSG_TIMER, 1, 0);
}

// Reads a point: one of the interesting ones, or anywhere (also off the picture).
uint32_t point() {
    const uint8_t b = play.in.byte();
    if (b < 128) {
        const int* p = POINTS[b % (sizeof POINTS / sizeof POINTS[0])];
        return packPoint(p[0], p[1]);
    }
    return packPoint(play.in.word() % 720 - 40, play.in.word() % 500 - 40);
}

// One action from the input; false when the input or the tick budget is spent.
bool feed() {
    check(brokenStateRule());
    if (play.keyTicks > 0) {
        --play.keyTicks;
        if (play.keyTicks == 0) headless::post(MSG_KEYUP, play.heldKey, 0);
        tickOnce();
        return true;
    }
    if (!play.in.more() || outOfTicks()) return false;
    const uint8_t op = play.in.byte();
    switch (op % 14) {
        case 0: {
            const int n = 1 + play.in.byte() % 64;
            for (int i = 0; i < n && !outOfTicks(); ++i) tickOnce();
            break;
        }
        case 1: headless::post(MSG_KEYDOWN, KEYS[play.in.byte() % 10], 0); break;
        case 2: headless::post(MSG_KEYUP, KEYS[play.in.byte() % 10], 0); break;
        case 3:  // a walk: a key held for some ticks
            play.heldKey = KEYS[play.in.byte() % 4];
            play.keyTicks = 1 + play.in.byte() % 80;
            headless::post(MSG_KEYDOWN, play.heldKey, 0);
            break;
        case 4: headless::post(MSG_MOUSEMOVE, 0, point()); break;
        case 5: headless::post(MSG_LBUTTONDOWN, 1, point()); break;
        case 6: headless::post(MSG_LBUTTONUP, 0, point()); break;
        case 7: headless::post(MSG_RBUTTONDOWN, 2, point()); break;
        case 8: chooseMenu(CMD_NEW + play.in.byte() % 9); break;
        case 9: {
            const DialogTemplate& t = *TEMPLATES[play.in.byte() % 5];
            const int control = t.controls[play.in.byte() % t.controlCount].id;
            const uint8_t how = play.in.byte();
            std::string text;
            if (how < 200) {
                text = AMOUNTS[how % 10];
            } else {
                for (int n = how % 9; n > 0; --n) text += static_cast<char>(play.in.byte());
            }
            headless::typeText(headless::findDialog(t.id), control, text);
            break;
        }
        case 10: {
            const DialogTemplate& t = *TEMPLATES[play.in.byte() % 5];
            headless::click(headless::findDialog(t.id), t.controls[play.in.byte() % t.controlCount].id);
            break;
        }
        case 11: headless::closeDialog(headless::findDialog(TEMPLATES[play.in.byte() % 5]->id)); break;
        case 12: headless::queueAnswer(play.in.byte() & 1 ? IDYES : IDNO, play.in.byte() % 8); break;
        default: headless::post(MSG_QUERYNEWPALETTE); break;
    }
    return true;
}

// A box with no queued answer: the input answers, after a few ticks under it.
int32_t answer(const headless::MessageBoxInfo& box) {
    const uint8_t b = play.in.byte();
    if (play.boxDepth < MAX_BOX_DEPTH) {
        ++play.boxDepth;
        for (int n = b >> 5; n > 0 && !outOfTicks(); --n) {
            ++play.ticks;
            headless::tick(1);
            check(brokenStateRule());
        }
        --play.boxDepth;
    }
    if ((box.style & 0xF) != MB_YESNO) return IDOK;
    return b & 1 ? IDYES : IDNO;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/pachinko-state-fuzz-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    fullFolder = fs::path(folder) / "full";
    bareFolder = fs::path(folder) / "bare";
    fs::create_directories(fullFolder);
    fs::create_directories(bareFolder);
    const char* content = std::getenv("PACHINKO_CONTENT");
    const fs::path from = content ? content : PACHINKO_GAME_DIR;
    for (const auto& entry : fs::directory_iterator(from))
        if (entry.path().extension() == ".bmp") fs::copy_file(entry.path(), fullFolder / entry.path().filename());
    // The ball sound stands in for all four: real WAV files, but the two
    // tunes would cost most of each run's time to load.
    for (const char* name : {"base1.wav", "base2.wav", "open.wav", "tamade.wav"})
        fs::copy_file(from / "tamade.wav", fullFolder / name);
    prepareTextDrawing();
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < ACTIONS_AT) return 0;
    const uint8_t setup = data[0];
    const fs::path folder = setup & 1 ? fullFolder : bareFolder;
    fs::current_path(folder);

    const size_t playerBytes = data[1];
    fs::remove("pachiko.dat");
    if (playerBytes <= 64) writeFile("pachiko.dat", data + PLAYER_AT, playerBytes);
    const size_t actionBytes = data[66] | (data[67] << 8);
    const size_t actionsEnd = std::min(size, ACTIONS_AT + actionBytes);
    fs::remove("tama.dat");
    if (!(setup & 4)) writeFile("tama.dat", data + actionsEnd, std::min(size - actionsEnd, COURSE_BYTES));

    resetProcess();
    // A short "tama.dat" leaves the rest of the table as it was: as at start.
    BallPathTable = BallPathTableData{};
    if (setup & 8) failSoundStep(SoundStep::device);
    play = Play{Reader{data, actionsEnd, ACTIONS_AT}};
    headless::setMessageBoxHandler(answer);
    headless::setFeeder(feed);
    winMain(setup & 2 ? "T" : "", 1);
    headless::setFeeder(nullptr);
    headless::setMessageBoxHandler(nullptr);

    // PACHINKO_FUZZ_TRACE=1 prints what the game showed, to see what an input does.
    if (std::getenv("PACHINKO_FUZZ_TRACE")) {
        for (const std::string& line : eventLog())
            if (line.rfind("sound", 0) != 0) std::fprintf(stderr, "%s\n", line.c_str());
        std::fprintf(stderr, "ticks %d\n%s", play.ticks, gameStateJson().c_str());
    }
    // Every save that reports success leaves a whole record.
    for (const std::string& line : eventLog())
        if (line == "save pachiko.dat" && fs::file_size("pachiko.dat") != 64) check("a save writes 64 bytes");
    resetProcess();
    return 0;
}
