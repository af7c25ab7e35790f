// The real game in a real window, played from outside as a person would.
//
// Starts Xvfb on a free display and the `pachinko` executable in a fresh
// folder holding the generated content, and drives it only with X input
// events (xdotool): out of the home, along the street into the bank, a
// deposit typed into the counter's edit box, into a parlour, onto a seat,
// balls bought at the lender, the dial dragged, balls launched until the
// pocket pays, off the machine with Esc, and out through the menu. What the
// window shows is read from screenshots of the X screen (xwd), compared at
// chosen pixels with the picture files; the saved pachiko.dat is checked at
// the end, and the session's recording (--record) is replayed by
// pachinko-headless, which must save the very same pachiko.dat.
//
// Every wait polls with a deadline and every external command has a time
// limit, so a stuck game fails the test instead of hanging it.
//
// window_e2e GAME-DIR PACHINKO PACHINKO-HEADLESS OUT-DIR
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "machine/playfield.h"
#include "resources/resources.h"
#include "town/town_layout.h"

namespace {

// Generous: CI runs on a loaded two-core machine.
constexpr int STEP_MS = 60000;
constexpr int COMMAND_MS = 20000;

const QString MAIN_CAPTION = QStringLiteral("PACHINKO ろもぺ Ver1.03");

QString outDir;

[[noreturn]] void fail(const QString& what) { throw std::runtime_error(what.toStdString()); }

void check(bool condition, const QString& what) {
    if (!condition) fail(what);
}

void note(const QString& what) { std::printf("window_e2e: %s\n", qPrintable(what)); std::fflush(stdout); }

// Runs a command to its end (within COMMAND_MS) and returns what it printed.
QString run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(COMMAND_MS)) {
        process.kill();
        process.waitForFinished(2000);
        fail(program + " " + args.join(' ') + " did not finish");
    }
    if (exitCode) *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Polls until `done` holds; false after limitMs.
bool within(int limitMs, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QThread::msleep(100);
    }
    return true;
}

// Polls until `done` holds; fails after limitMs.
void waitFor(const QString& what, const std::function<bool()>& done, int limitMs = STEP_MS) {
    if (!within(limitMs, done)) fail("timed out waiting for " + what);
}

// --- the X server ------------------------------------------------------------

// Xvfb on a display number it picks itself (-displayfd), so that parallel
// runs never collide; stopped when the test ends, however it ends.
struct Xvfb {
    QProcess server;
    QString display;

    Xvfb() {
        server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        while (!server.canReadLine() && server.waitForReadyRead(STEP_MS)) {
        }
        display = ":" + QString::fromUtf8(server.readLine()).trimmed();
        check(display.size() > 1, "Xvfb did not start (is it installed?)");
        qputenv("DISPLAY", display.toUtf8());
    }
    ~Xvfb() {
        server.terminate();
        server.waitForFinished(5000);
    }
};

// --- windows, screenshots, input -----------------------------------------------

// The visible window with exactly this caption, or 0.
qulonglong findWindow(const QString& caption) {
    const QString ids = run("xdotool", {"search", "--onlyvisible", "--name", "^" + QRegularExpression::escape(caption) + "$"});
    const QStringList list = ids.split('\n', Qt::SkipEmptyParts);
    return list.isEmpty() ? 0 : list.last().toULongLong();
}

qulonglong waitForWindow(const QString& caption) {
    qulonglong id = 0;
    waitFor("the window \"" + caption + "\"", [&] { return (id = findWindow(caption)) != 0; });
    return id;
}

QRect geometry(qulonglong window) {
    const QString shell = run("xdotool", {"getwindowgeometry", "--shell", QString::number(window)});
    auto field = [&shell](const char* name) {
        return QRegularExpression(QString("^%1=(-?\\d+)$").arg(name), QRegularExpression::MultilineOption)
            .match(shell).captured(1).toInt();
    };
    const QRect g(field("X"), field("Y"), field("WIDTH"), field("HEIGHT"));
    check(!g.isEmpty(), "no geometry for window " + QString::number(window));
    return g;
}

void xdo(const QStringList& args) {
    int code = 0;
    run("xdotool", args, &code);
    check(code == 0, "xdotool " + args.join(' ') + " failed");
}

// Whether `upper` stands above `lower`: without a window manager the X
// server's stacking order is what the player sees.
bool above(qulonglong upper, qulonglong lower) {
    // xwininfo lists the root's children from the top down.
    const QString tree = run("xwininfo", {"-root", "-children"});
    const qsizetype u = tree.indexOf("0x" + QString::number(upper, 16) + " ");
    const qsizetype l = tree.indexOf("0x" + QString::number(lower, 16) + " ");
    check(u >= 0 && l >= 0, "windows missing from the stacking order");
    return u < l;
}

// Keyboard input goes to the window with the input focus; without a window
// manager nobody else gives it.
void focus(qulonglong window) { xdo({"windowfocus", "--sync", QString::number(window)}); }

void pointerTo(int x, int y) { xdo({"mousemove", "--sync", QString::number(x), QString::number(y)}); }

void clickAt(int x, int y) {
    pointerTo(x, y);
    xdo({"click", "1"});
}

// A window's picture (or the whole screen's, for 0), read from xwd's dump.
// Windows are taken one by one: under Xvfb without a window manager, the root
// window's picture shows the game's dialogs black where the dialogs themselves
// show their controls. Xvfb's 24-bit screen keeps a pixel in 32 bits, red
// highest, which on a little-endian server is QImage's RGB32 as it stands.
QImage capture(qulonglong window = 0) {
    const QString file = outDir + "/screen.xwd";
    int code = 0;
    QStringList args = {"-silent", "-out", file};
    args << (window ? QStringList{"-id", QString::number(window)} : QStringList{"-root"});
    run("xwd", args, &code);
    check(code == 0, "xwd failed");
    QFile in(file);
    check(in.open(QIODevice::ReadOnly), "cannot read " + file);
    const QByteArray data = in.readAll();
    check(data.size() >= 100, "short xwd file");
    // The header: big-endian 32-bit fields.
    auto card = [&data](int index) { return qFromBigEndian<quint32>(data.constData() + 4 * index); };
    const quint32 width = card(4), height = card(5), bytesPerLine = card(12);
    check(card(7) == 0 && card(11) == 32 && card(14) == 0xFF0000 && card(15) == 0xFF00 && card(16) == 0xFF,
          "xwd: expected 32-bit pixels, red highest, least significant byte first");
    const qsizetype start = card(0) + 12 * card(19);  // the header, then the colour map
    check(data.size() >= start + static_cast<qsizetype>(bytesPerLine) * height, "xwd: truncated");
    return QImage(reinterpret_cast<const uchar*>(data.constData() + start), static_cast<int>(width),
                  static_cast<int>(height), static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32)
        .copy();
}

// --- the game as seen from outside -------------------------------------------

struct Game {
    QString dir;  // its working folder
    qulonglong window = 0;
    QRect frame;  // the main window: menu bar above the game area

    // Screen position of a game-area pixel.
    int sx(int x) const { return frame.x() + x; }
    int sy(int y) const { return frame.y() + frame.height() - 416 + y; }
    // What the game area shows now.
    QImage area() const { return capture(window).copy(0, frame.height() - 416, 640, 416); }
    QImage picture(const QString& name) const { return QImage(dir + "/" + name); }
};

// The share of `rect`'s pixels (sampled every `step`) where the game area
// shows one of `pictures` (the street has two frames). A picture as large as
// the area fills it; a smaller one is drawn at the rect's corner. The status
// text and the walker's square (at `walker`) stand over any picture and are
// left out.
template <typename Rect>
double share(const QImage& area, const std::vector<QImage>& pictures, const Rect& rect, int step,
             QPoint walker = {-100, -100}) {
    int shown = 0, all = 0;
    for (int y = rect.top; y < rect.bottom; y += step) {
        for (int x = rect.left; x < rect.right; x += step) {
            if (x >= walker.x() && x < walker.x() + WALKER_SIZE && y >= walker.y() && y < walker.y() + WALKER_SIZE) continue;
            if (x < STATUS_TEXT_AREA.right && y < STATUS_TEXT_AREA.bottom) continue;
            ++all;
            shown += std::any_of(pictures.begin(), pictures.end(), [&](const QImage& p) {
                const QPoint at = p.width() == 640 ? QPoint(x, y) : QPoint(x - rect.left, y - rect.top);
                return (area.pixel(x, y) & 0xFFFFFF) == (p.pixel(at) & 0xFFFFFF);
            });
        }
    }
    return all ? static_cast<double>(shown) / all : 0.0;
}

// What the game area must show after a step: `pictures` over at least
// `share` of `rect` (sampled every 5 pixels), in `polls` polls in a row.
struct Shows {
    QStringList pictures;
    TownRect rect;
    double share;
    QPoint walker = {-100, -100};
    int polls = 1;
};

const QStringList STREET = {"back1.bmp", "back2.bmp"};

// The centre of a dialog control, clicked. The dialog's size in dialog units
// is the template's; its size in pixels is what the window has, which gives
// the units without knowing the font.
void clickControl(qulonglong dialog, const platform::DialogTemplate& t, int id) {
    const QRect d = geometry(dialog);
    for (int i = 0; i < t.controlCount; ++i) {
        const platform::ControlTemplate& c = t.controls[i];
        if (c.id == id)
            return clickAt(d.x() + static_cast<int>((c.x + c.width / 2.0) * d.width() / t.width),
                           d.y() + static_cast<int>((c.y + c.height / 2.0) * d.height() / t.height));
    }
    fail("no control " + QString::number(id));
}

int32_t le32(const QByteArray& bytes, int at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

QByteArray readAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void copyContent(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDir source(from);
    const QStringList kinds = {"*.bmp", "*.wav", "*.hlp", "*.png", "*.ico", "tama.dat"};
    for (const QString& name : source.entryList(kinds, QDir::Files))
        check(QFile::copy(source.filePath(name), to + "/" + name), "cannot copy " + name);
}

// --- the session ---------------------------------------------------------------

// One step of the journey: a key held until the area shows what it must, or
// else a click at x, y.
struct Step {
    const char* what;
    const char* key;
    int x, y;
    Shows then;
};

// From the bank's counter to the third seat of the first parlour: off the
// counter onto the bank's door, off the door (until it has shut behind him and
// he has stepped off it, the bank keeps him in its bounds), to the parlour's
// door, onto the seat.
const Step TO_THE_MACHINE[] = {
    {"the bank's inside to shrink away", nullptr, 460, 380, {STREET, {460, 300, 461, 301}, 1.0}},
    {"the bank's door to shut", nullptr, 420, 380, {STREET, BANK_DOOR.baseTarget, 1.0, {-100, -100}, 3}},
    {"the parlour's inside", nullptr, 116, 164, {{"tennai1.bmp"}, PARLOUR_INTERIORS[0].full, 0.95, {148, 184}}},
    {"the machine", nullptr, 116, 124, {{"back3.bmp"}, {100, 20, 500, 100}, 0.9}},
};
const Step LEAVE_HOME = {"the home to close", "Down", 0, 0, {STREET, {105, 205, 106, 206}, 1.0}};
const Step TO_THE_BANK = {"the bank's inside", "Right", 0, 0, {{"ginko1.bmp"}, {310, 200, 610, 290}, 0.95}};
const Step LEAVE_MACHINE = {"the parlour's inside again", "Escape", 0, 0,
                            {{"tennai1.bmp"}, PARLOUR_INTERIORS[0].full, 0.9, {100, 108}}};

struct Session {
    Game g;
    int lenderBuys = 0;

    double shown(const Shows& s) {
        std::vector<QImage> pictures;
        for (const QString& name : s.pictures) pictures.push_back(g.picture(name));
        return share(g.area(), pictures, s.rect, 5, s.walker);
    }

    void waitShowing(const char* what, const Shows& s) {
        int polls = 0;
        waitFor(what, [&] {
            polls = shown(s) >= s.share ? polls + 1 : 0;
            return polls >= s.polls;
        });
    }

    void step(const Step& s) {
        if (s.key) {
            focus(g.window);
            xdo({"keydown", s.key});
        } else {
            clickAt(g.sx(s.x), g.sy(s.y));
        }
        waitShowing(s.what, s.then);
        if (s.key) xdo({"keyup", s.key});
    }

    void startUp() {
        g.window = waitForWindow(MAIN_CAPTION);
        g.frame = geometry(g.window);
        check(g.frame.width() == 640 && g.frame.height() > 416, "the main window is 640 wide above a 416 game area");
        // The boxes of start-up (no saved game; sound, where the device is
        // missing) come first, each answered with its default key. The ticks
        // under them open the introduction, which must not hide them; Wine
        // closes a box a moment after its answer, so each is waited out.
        const QString introCaption = QString::fromUtf8(INTRO_DIALOG.caption);
        QElapsedTimer quiet;
        quiet.start();
        waitFor("the start-up boxes", [&] {
            const qulonglong box = findWindow("Error");
            if (!box) return findWindow(introCaption) != 0 && quiet.elapsed() > 3000;
            if (within(10000, [&] { return findWindow(introCaption) != 0; })) {
                QThread::msleep(300);  // the box's raise reaches the server
                check(above(box, findWindow(introCaption)), "a start-up box is hidden under the introduction");
            }
            focus(box);
            xdo({"key", "Return"});
            waitFor("the box to close", [&] { return findWindow("Error") != box; });
            note("answered a start-up box");
            quiet.restart();
            return false;
        });
        // The introduction's OK, pressed again should a click go astray.
        QElapsedTimer sincePress;
        waitFor("the introduction to be closed", [&] {
            const qulonglong intro = findWindow(introCaption);
            if (!intro) return sincePress.isValid();
            if (!sincePress.isValid() || sincePress.elapsed() > 3000) {
                clickControl(intro, INTRO_DIALOG, 41);  // OK
                sincePress.start();
            }
            return false;
        });
        waitShowing("the home's inside", {{"home1.bmp"}, HOME_INTERIOR.full, 1.0, {WALKER_START_X, WALKER_START_Y}});
    }

    void leaveHome() { step(LEAVE_HOME); }

    void deposit(int amount) {
        clickAt(g.sx(340), g.sy(320));  // the deposit counter
        const QString caption = QString::fromUtf8(BANK_DIALOG.caption);
        const qulonglong dialog = waitForWindow(caption);
        focus(dialog);
        clickControl(dialog, BANK_DIALOG, 61);  // the amount
        xdo({"type", "--delay", "60", QString::number(amount)});
        clickControl(dialog, BANK_DIALOG, 42);  // 決定
        QThread::msleep(500);
        clickControl(dialog, BANK_DIALOG, 41);  // 終了
        waitFor("the bank's dialog to close", [&] { return findWindow(caption) == 0; });
    }

    // Balls in the tray, or the lender lit: more than 8 % of either differs from the bare machine.
    bool trayShowsBalls() { return share(g.area(), {g.picture("back3.bmp")}, TRAY, 3) < 0.92; }

    // Hover the lender until it lights (the pointer moved over it: it
    // lights on movement only), click it, and watch the 20 balls run through
    // the tray.
    void buyBalls() {
        bool nudge = false;
        waitFor("the lender to light", [&] {
            if (share(g.area(), {g.picture("back3.bmp")}, LENDER_LIT, 2) < 0.92) return true;
            nudge = !nudge;
            pointerTo(g.sx(nudge ? 30 : 31), g.sy(120));
            return false;
        });
        xdo({"click", "1"});
        ++lenderBuys;
        waitFor("the bought balls in the tray", [&] { return trayShowsBalls(); });
        waitFor("the tray to empty", [&] { return !trayShowsBalls(); });
    }

    // Balls bought, the dial dragged up by 80 pixels, and balls launched
    // until the pocket pays: only then does the tray show balls again.
    void playUntilPayout() {
        for (int i = 0; i < 5; ++i) buyBalls();
        pointerTo(g.sx(570), g.sy(300));
        xdo({"mousedown", "1"});
        for (int up = 10; up <= 80; up += 10) pointerTo(g.sx(570), g.sy(300 - up));
        xdo({"mouseup", "1"});
        // A hundred balls take 50 seconds to launch; should the courses
        // ever pay less, more are bought (a purchase runs through the tray
        // too, so the tray is watched only between purchases).
        for (int round = 0; !within(STEP_MS, [&] { return trayShowsBalls(); }); ++round) {
            check(round < 3, "the pocket never paid");
            note("no payout yet: more balls");
            for (int i = 0; i < 5; ++i) buyBalls();
        }
        clickAt(g.sx(578), g.sy(398));  // stop launching
    }

    // The whole journey, from the start-up boxes to the parlour's inside after the payout.
    void play() {
        startUp();
        leaveHome();
        // Off the home's door onto the street, then right along it, the key
        // held until the bank's door has opened and its inside shows.
        clickAt(g.sx(264), g.sy(376));  // the walker to 248, 360: off the home's door, on the street
        QThread::msleep(300);
        check(shown({{"ginko1.bmp"}, {310, 200, 610, 290}, 0}) < 0.5, "the bank is shut");
        step(TO_THE_BANK);
        deposit(5000);
        for (const Step& s : TO_THE_MACHINE) step(s);
        playUntilPayout();
        note("paid out");
        step(LEAVE_MACHINE);
    }

    // pachiko.dat after the journey: day 0, the deposit, the cash less the
    // buys, balls left from the payout.
    QByteArray checkSaved() const {
        const QByteArray saved = readAll(g.dir + "/pachiko.dat");
        check(saved.size() == 64 && le32(saved, 0) == 0, "pachiko.dat has 64 bytes, day 0");
        check(le32(saved, 4) == 5000 - 100 * lenderBuys,
              "cash " + QString::number(le32(saved, 4)) + " after " + QString::number(lenderBuys) + " buys");
        check(le32(saved, 8) == 5000 && le32(saved, 56) > 0, "deposit 5000, balls left after the payout");
        return saved;
    }

    // ｹﾞｰﾑ(&G) → 終了(&X), by their keys.
    void quitThroughTheMenu(QProcess& game) {
        focus(g.window);
        const QString before = run("xdotool", {"search", "--onlyvisible", "--class", "pachinko"});
        xdo({"key", "alt+g"});
        waitFor("the game menu", [&] {
            return run("xdotool", {"search", "--onlyvisible", "--class", "pachinko"}) != before;
        });
        xdo({"key", "x"});
        check(game.waitForFinished(STEP_MS), "the game did not end after 終了");
        check(game.exitStatus() == QProcess::NormalExit && game.exitCode() == 0,
              "the game's exit code is " + QString::number(game.exitCode()));
    }
};

}  // namespace

// A failed journey: the reason, the screen kept beside the other output
// (when an X server runs), the game stopped. Returns the program's exit code.
int journeyFailed(const char* program, const std::exception& e, bool screen, qulonglong window, QProcess& game) {
    std::fprintf(stderr, "%s: FAILED: %s\n", program, e.what());
    if (screen) {
        try {
            capture().save(outDir + "/failure.png");
            if (window) capture(window).save(outDir + "/failure-window.png");
            std::fprintf(stderr, "%s: the screen is in %s/failure.png\n", program, qPrintable(outDir));
        } catch (...) {
        }
    }
    if (game.state() != QProcess::NotRunning) {
        game.kill();
        game.waitForFinished(5000);
    }
    std::printf("0 passed, 1 failed\n");
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: window_e2e GAME-DIR PACHINKO PACHINKO-HEADLESS OUT-DIR\n");
        return 2;
    }
    const QString gameDir = argv[1], pachinko = argv[2], headless = argv[3];
    outDir = QDir(argv[4]).absolutePath();
    QDir(outDir).removeRecursively();
    QDir().mkpath(outDir);
    for (const char* tool : {"Xvfb", "xdotool", "xwd", "xwininfo"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            std::printf("window_e2e: skipped: %s is not installed (scripts/setup.sh installs it)\n", tool);
            return 77;
        }
    }
    Session s;
    std::unique_ptr<Xvfb> x;
    QProcess game;  // ends before the X server does
    try {
        x = std::make_unique<Xvfb>();
        note("X server on " + x->display);
        s.g.dir = outDir + "/play";
        copyContent(gameDir, s.g.dir);
        copyContent(gameDir, outDir + "/replay");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", outDir + "/config");  // the default scale, whatever the desktop says
        env.insert("ALSOFT_DRIVERS", "null");                 // a sound device that plays to nowhere
        game.setProcessEnvironment(env);
        game.setWorkingDirectory(s.g.dir);
        game.setStandardOutputFile(outDir + "/game.log");
        game.setStandardErrorFile(outDir + "/game.log", QIODevice::Append);
        game.start(pachinko, {"--record", outDir + "/session.txt"});
        check(game.waitForStarted(COMMAND_MS), "the game did not start");

        s.play();
        s.quitThroughTheMenu(game);
        const QByteArray saved = s.checkSaved();
        note(QString("saved: cash %1, deposit %2, balls %3").arg(le32(saved, 4)).arg(le32(saved, 8)).arg(le32(saved, 56)));

        // The recording replays to the same saved game.
        QProcess replay;
        env.insert("QT_QPA_PLATFORM", "offscreen");
        replay.setProcessEnvironment(env);
        replay.start(headless, {"--dir", outDir + "/replay", "--script", outDir + "/session.txt"});
        check(replay.waitForFinished(STEP_MS) && replay.exitCode() == 0, "the replay did not end cleanly");
        const QByteArray log = readAll(outDir + "/replay/log.txt");
        check(!log.contains("unanswered") && !log.contains("script: line"), "the replay's log: " + QString(log));
        check(readAll(outDir + "/replay/pachiko.dat") == saved, "the replay saved a different pachiko.dat");
        note("the recording replays to the same pachiko.dat");

        // Ended by the desktop (logging out, kill, Ctrl+C): each signal in
        // turn, the game started again between, saves as the close box does.
        // The game loads the saved one a day on and must save it so; the last
        // run gets a burst of all three while it shuts down and saves.
        env.insert("QT_QPA_PLATFORM", "xcb");
        game.setProcessEnvironment(env);
        QByteArray last = saved;
        for (int signal : {SIGTERM, SIGHUP, SIGINT, 0}) {
            const QString name = signal ? QString(strsignal(signal)) : QStringLiteral("a burst");
            game.start(pachinko, {});
            check(game.waitForStarted(COMMAND_MS), "the game did not start again");
            s.startUp();
            const pid_t pid = static_cast<pid_t>(game.processId());
            const int burst[] = {SIGTERM, SIGHUP, SIGINT};
            kill(pid, signal ? signal : SIGTERM);
            bool ended = false;
            for (int n = 0; !signal && n < 20000 && !(ended = game.waitForFinished(1)); ++n) kill(pid, burst[n % 3]);
            check(ended || game.waitForFinished(STEP_MS), "the game did not end on " + name);
            check(game.exitStatus() == QProcess::NormalExit && game.exitCode() == 0,
                  "the game did not end cleanly on " + name);
            const QByteArray now = readAll(s.g.dir + "/pachiko.dat");
            check(now.size() == 64 && le32(now, 0) == le32(last, 0) + 1 && now.mid(4) == last.mid(4),
                  "pachiko.dat after " + name + " is not the game's state");
            check(QDir(s.g.dir).entryList({"*.tmp-*"}, QDir::Files).isEmpty(), "a temporary left after " + name);
            last = now;
            note("ended by " + name + ": saved");
        }
    } catch (const std::exception& e) {
        return journeyFailed("window_e2e", e, x != nullptr, s.g.window, game);
    }
    std::printf("1 passed, 0 failed\n");
    return 0;
}
