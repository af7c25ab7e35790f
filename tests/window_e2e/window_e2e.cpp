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
// window_e2e GAME-DIR PACHINKO PACHINKO-HEADLESS OUT-DIR [--screenshots DIR]
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>
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
class Xvfb {
public:
    Xvfb() {
        server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        while (!server_.canReadLine() && server_.waitForReadyRead(STEP_MS)) {
        }
        const QString number = QString::fromUtf8(server_.readLine()).trimmed();
        check(!number.isEmpty(), "Xvfb did not start (is it installed?)");
        display_ = ":" + number;
        qputenv("DISPLAY", display_.toUtf8());
    }
    ~Xvfb() {
        server_.terminate();
        server_.waitForFinished(5000);
    }
    QString display() const { return display_; }

private:
    QProcess server_;
    QString display_;
};

// --- windows, screenshots, input -----------------------------------------------

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

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

Geometry geometry(qulonglong window) {
    const QString shell = run("xdotool", {"getwindowgeometry", "--shell", QString::number(window)});
    auto field = [&shell](const char* name) {
        return QRegularExpression(QString("^%1=(-?\\d+)$").arg(name), QRegularExpression::MultilineOption)
            .match(shell).captured(1).toInt();
    };
    const Geometry g{field("X"), field("Y"), field("WIDTH"), field("HEIGHT")};
    check(g.width > 0 && g.height > 0, "no geometry for window " + QString::number(window));
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
    Geometry frame;  // the main window: menu bar above the game area
    QImage pictures[5];

    // Screen position of a game-area pixel.
    int sx(int x) const { return frame.x + x; }
    int sy(int y) const { return frame.y + frame.height - 416 + y; }
    // What the game area shows now.
    QImage area() const { return capture(window).copy(0, frame.height - 416, 640, 416); }
    QImage picture(const char* name) const { return QImage(dir + "/" + name); }
};

// Pixels of `rect` (game pixels, sampled every `step`) where the game area
// differs from `picture` placed with its top-left corner at `origin`, and how
// many were sampled. The status text and the walker's square (at `walker`)
// stand over any picture and are left out.
struct Sampled {
    int differing = 0, all = 0;
    double share() const { return all ? 1.0 - static_cast<double>(differing) / all : 0.0; }
};

template <typename Rect>
Sampled compare(const QImage& area, const QImage& picture, const Rect& rect, QPoint origin, int step,
                QPoint walker = {-100, -100}) {
    Sampled s;
    for (int y = rect.top; y < rect.bottom; y += step) {
        for (int x = rect.left; x < rect.right; x += step) {
            if (x >= walker.x() && x < walker.x() + WALKER_SIZE && y >= walker.y() && y < walker.y() + WALKER_SIZE) continue;
            if (x < STATUS_TEXT_AREA.right && y < STATUS_TEXT_AREA.bottom) continue;
            ++s.all;
            s.differing += (area.pixel(x, y) & 0xFFFFFF) != (picture.pixel(x - origin.x(), y - origin.y()) & 0xFFFFFF);
        }
    }
    return s;
}

// The share of `rect` that shows an interior's picture, drawn at the rect's corner.
double shareShowing(const QImage& area, const QImage& picture, const TownRect& rect, QPoint walker = {-100, -100}) {
    return compare(area, picture, rect, {rect.left, rect.top}, 5, walker).share();
}

// The town backdrop has two frames; a pixel of the street shows either.
bool showsTown(const Game& g, const QImage& area, int x, int y) {
    const QRgb p = area.pixel(x, y) & 0xFFFFFF;
    return p == (g.pictures[0].pixel(x, y) & 0xFFFFFF) || p == (g.pictures[1].pixel(x, y) & 0xFFFFFF);
}

// Nothing of a door's pictures is drawn: the street shows through.
bool doorShut(const Game& g, const QImage& area, const TownRect& door) {
    for (int y = door.top; y < door.bottom; y += 3)
        for (int x = door.left; x < door.right; x += 3)
            if (!showsTown(g, area, x, y)) return false;
    return true;
}

// The centre of a dialog control, on the screen. The dialog's size in dialog
// units is the template's; its size in pixels is what the window has, which
// gives the units without knowing the font.
QPoint controlCentre(qulonglong dialog, const platform::DialogTemplate& t, int id) {
    const Geometry d = geometry(dialog);
    for (int i = 0; i < t.controlCount; ++i) {
        const platform::ControlTemplate& c = t.controls[i];
        if (c.id != id) continue;
        return {d.x + static_cast<int>((c.x + c.width / 2.0) * d.width / t.width),
                d.y + static_cast<int>((c.y + c.height / 2.0) * d.height / t.height)};
    }
    fail("no control " + QString::number(id));
}

void clickControl(qulonglong dialog, const platform::DialogTemplate& t, int id) {
    const QPoint p = controlCentre(dialog, t, id);
    clickAt(p.x(), p.y());
}

QString shotDir;

void saveShot(const QImage& image, const QString& name) {
    image.save(shotDir + "/" + name);
    note("screenshot " + name);
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

struct Session {
    Game g;
    int lenderBuys = 0;
    QString screenshots;  // where the README's pictures go, if anywhere

    void startUp() {
        g.window = waitForWindow(MAIN_CAPTION);
        g.frame = geometry(g.window);
        check(g.frame.width == 640 && g.frame.height > 416, "the main window is 640 wide above a 416 game area");
        for (int i = 0; i < 2; ++i) g.pictures[i] = g.picture(i ? "back2.bmp" : "back1.bmp");
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
        bool pressed = false;
        QElapsedTimer sincePress;
        waitFor("the introduction to be closed", [&] {
            const qulonglong intro = findWindow(introCaption);
            if (!intro) return pressed;
            if (!pressed || sincePress.elapsed() > 3000) {
                clickControl(intro, INTRO_DIALOG, 41);  // OK
                pressed = true;
                sincePress.start();
            }
            return false;
        });
        const QImage home = g.picture("home1.bmp");
        waitFor("the home's inside", [&] {
            return shareShowing(g.area(), home, HOME_INTERIOR.full, {WALKER_START_X, WALKER_START_Y}) == 1.0;
        });
    }

    // Down onto the home's door, the key held until the inside closes.
    void leaveHome() {
        focus(g.window);
        xdo({"keydown", "Down"});
        waitFor("the home to close", [&] { return showsTown(g, g.area(), 105, 205); });
        xdo({"keyup", "Down"});
    }

    // Right along the street, the key held until the bank's door opens.
    void walkToBank() {
        clickAt(g.sx(264), g.sy(376));  // the walker to 248, 360: off the home's door, on the street
        QThread::msleep(300);
        const QImage town = g.area();
        // Held until the inside shows: the walker goes on along the street
        // while the door opens, which does no harm.
        const QImage bank = g.picture("ginko1.bmp");
        check(shareShowing(town, bank, {310, 200, 610, 290}) < 0.5, "the bank is shut");
        focus(g.window);
        xdo({"keydown", "Right"});
        waitFor("the bank's inside", [&] {
            return shareShowing(g.area(), bank, {310, 200, 610, 290}) > 0.95;
        });
        xdo({"keyup", "Right"});
    }

    void deposit(int amount) {
        clickAt(g.sx(340), g.sy(320));  // the deposit counter
        const QString caption = QString::fromUtf8(BANK_DIALOG.caption);
        const qulonglong dialog = waitForWindow(caption);
        focus(dialog);
        clickControl(dialog, BANK_DIALOG, 61);  // the amount
        xdo({"type", "--delay", "60", QString::number(amount)});
        clickControl(dialog, BANK_DIALOG, 42);  // 決定
        QThread::msleep(500);
        if (!screenshots.isEmpty()) {
            // The main window with the dialog over it, where it stands.
            const Geometry d = geometry(dialog);
            const QRect main(g.frame.x, g.frame.y, g.frame.width, g.frame.height);
            const QRect both = main.united(QRect(d.x, d.y, d.width, d.height));
            QImage shot(both.size(), QImage::Format_RGB32);
            shot.fill(Qt::black);
            QPainter painter(&shot);
            painter.drawImage(main.topLeft() - both.topLeft(), capture(g.window));
            painter.drawImage(QPoint(d.x, d.y) - both.topLeft(), capture(dialog));
            painter.end();
            saveShot(shot, "bank.png");
        }
        clickControl(dialog, BANK_DIALOG, 41);  // 終了
        waitFor("the bank's dialog to close", [&] { return findWindow(caption) == 0; });
    }

    // Off the counter onto the bank's door, then to the first parlour and
    // onto its third seat.
    void walkToMachine() {
        clickAt(g.sx(460), g.sy(380));
        waitFor("the bank's inside to shrink away", [&] { return showsTown(g, g.area(), 460, 300); });
        // Off the door: until the door has shut behind him and he has
        // stepped off it, the bank keeps him in its bounds.
        clickAt(g.sx(420), g.sy(380));
        int shut = 0;
        waitFor("the bank's door to shut", [&] {
            shut = doorShut(g, g.area(), BANK_DOOR.baseTarget) ? shut + 1 : 0;
            return shut >= 3;  // for a few ticks
        });
        if (!screenshots.isEmpty()) saveShot(capture(g.window), "town.png");
        clickAt(g.sx(116), g.sy(164));  // the first parlour's door
        const QImage inside = g.picture("tennai1.bmp");
        waitFor("the parlour's inside", [&] {
            return shareShowing(g.area(), inside, PARLOUR_INTERIORS[0].full, {148, 184}) > 0.95;
        });
        clickAt(g.sx(116), g.sy(124));  // seat 2
        const QImage board = g.picture("back3.bmp");
        waitFor("the machine", [&] {
            return compare(g.area(), board, TownRect{100, 20, 500, 100}, {}, 5).share() > 0.9;
        });
    }

    // Hover the lender until it lights (the pointer moved over it: it
    // lights on movement only), click it, and watch the 20 balls run through
    // the tray.
    void buyBalls() {
        auto lit = [&] { return compare(g.area(), g.picture("back3.bmp"), LENDER_LIT, {}, 2).differing > 40; };
        bool nudge = false;
        waitFor("the lender to light", [&] {
            if (lit()) return true;
            nudge = !nudge;
            pointerTo(g.sx(nudge ? 30 : 31), g.sy(120));
            return false;
        });
        xdo({"click", "1"});
        ++lenderBuys;
        waitFor("the bought balls in the tray", [&] { return trayShowsBalls(); });
        waitFor("the tray to empty", [&] { return !trayShowsBalls(); });
    }

    // Press on the dial and drag it up by `power` pixels.
    void setDial(int power) {
        pointerTo(g.sx(570), g.sy(300));
        xdo({"mousedown", "1"});
        for (int step = 10; step <= power; step += 10) pointerTo(g.sx(570), g.sy(300 - step));
        xdo({"mouseup", "1"});
    }

    bool trayShowsBalls() { return compare(g.area(), g.picture("back3.bmp"), TRAY, {}, 3).differing > 20; }

    // Balls on the board: places where the whole ball picture shows (its
    // colour-key pixels aside) and the playfield has something else.
    int ballsOnBoard() {
        const QImage board = g.picture("back3.bmp");
        const QImage ball = g.picture("tama.bmp");
        const QImage a = g.area();
        const QRgb key = ball.pixel(0, 0) & 0xFFFFFF;
        const QRgb core = ball.pixel(BALL_SIZE / 2, BALL_SIZE / 2) & 0xFFFFFF;
        auto ballAt = [&](int left, int top) {
            if (left < 0 || top < 0 || left + BALL_SIZE > 640 || top + BALL_SIZE > 416) return false;
            for (int y = 0; y < BALL_SIZE; ++y)
                for (int x = 0; x < BALL_SIZE; ++x) {
                    const QRgb b = ball.pixel(x, y) & 0xFFFFFF;
                    if (b != key && (a.pixel(left + x, top + y) & 0xFFFFFF) != b) return false;
                }
            return true;
        };
        int found = 0;
        for (int y = 0; y < 416; ++y)
            for (int x = 80; x < 510; ++x)
                if ((a.pixel(x, y) & 0xFFFFFF) == core && (board.pixel(x, y) & 0xFFFFFF) != core &&
                    ballAt(x - BALL_SIZE / 2, y - BALL_SIZE / 2))
                    ++found;
        return found;
    }

    // The tray shows balls again only when the pocket pays.
    void playUntilPayout() {
        for (int i = 0; i < 5; ++i) buyBalls();
        pointerTo(g.sx(300), g.sy(250));
        setDial(80);
        waitFor("balls in flight", [&] { return ballsOnBoard() >= 3; });
        if (!screenshots.isEmpty()) saveShot(capture(g.window), "machine.png");
        // A hundred balls take 50 seconds to launch; should the courses
        // ever pay less, more are bought (a purchase runs through the tray
        // too, so the tray is watched only between purchases).
        for (int round = 0; !within(STEP_MS, [&] { return trayShowsBalls(); }); ++round) {
            check(round < 3, "the pocket never paid");
            note("no payout yet: more balls");
            for (int i = 0; i < 5; ++i) buyBalls();
        }
        clickAt(g.sx(578), g.sy(398));  // stop launching
        waitFor("the board to empty", [&] { return ballsOnBoard() == 0; });
    }

    // The whole journey, from the start-up boxes to the parlour's inside after the payout.
    void play() {
        startUp();
        note("started; the introduction closed");
        leaveHome();
        walkToBank();
        deposit(5000);
        note("deposited");
        walkToMachine();
        playUntilPayout();
        note("paid out");
        leaveMachine();
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

    void leaveMachine() {
        focus(g.window);
        xdo({"key", "Escape"});
        const QImage inside = g.picture("tennai1.bmp");
        waitFor("the parlour's inside again", [&] {
            return shareShowing(g.area(), inside, PARLOUR_INTERIORS[0].full, {100, 108}) > 0.9;
        });
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
        std::fprintf(stderr, "usage: window_e2e GAME-DIR PACHINKO PACHINKO-HEADLESS OUT-DIR [--screenshots DIR]\n");
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
    if (argc >= 7 && QString(argv[5]) == "--screenshots") {
        s.screenshots = shotDir = QDir(argv[6]).absolutePath();
        QDir().mkpath(shotDir);
    }
    std::unique_ptr<Xvfb> x;
    QProcess game;  // ends before the X server does
    try {
        x = std::make_unique<Xvfb>();
        note("X server on " + x->display());
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
        note("ended through the menu");

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
