// The Qt window: what the real-window journey does not see (the scale kept
// in the settings, sharp pixels and the pointer in game pixels at scale 2,
// the menu's greying, tuning keys, text drawn on a dialog, the help window).
// Runs on Qt's offscreen platform, with a settings folder of its own.
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "platform/display.h"
#include "platform/qt_backend.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "state/game_state.h"
#include "shell/main_window.h"
#include "qt_support.h"

using namespace platform;
using namespace qt_support;

namespace {

QString configDir;

}  // namespace

class QtWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    // The game started in a folder of its own, with pictures and courses but no sounds
    // and no saved game: three boxes, answered at once. That ticks run under
    // such boxes, the recording test shows. The scale chosen last before it
    // (out-of-range scales are the options test's) is the one it opens with.
    void initTestCase() {
        QVERIFY(rememberWindowScale(3));
        QVERIFY(rememberWindowScale(2));
        QVERIFY(dir_.isValid());
        QDir::setCurrent(dir_.path());
        copyGamePictures(dir_.path());
        BoxAnswerer answerer(QMessageBox::Ok, 0, 3);
        resetGameState();
        QVERIFY(startUp("", 1));
        pumpUntilAnswered(answerer);
    }

    // The choice outlives the process (a later run reads the file); each game
    // pixel is a 2 x 2 block of its own colour, never smoothed into its
    // neighbours; the window cannot be resized.
    void scaleKeptAndShownSharp() {
        QFile file(configDir + "/pachinko/pachinko.conf");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.readAll().contains("scale=2"), "the settings file holds the last choice");
        QWidget* area = qtGameArea();
        QCOMPARE(area->size(), QSize(1280, 832));
        QCOMPARE(qtMainWindow()->minimumSize(), qtMainWindow()->maximumSize());
        pumpUntil([] { return game.dayTicks >= 3; });
        const QImage shown = area->grab().toImage();
        ScreenPixels pixels;
        QVERIFY(primaryPixels(pixels));
        int differentNeighbours = 0;
        for (int y = 0; y < 416; y += 13) {
            for (int x = 0; x < 640; x += 7) {
                const QRgb pixel = pixels.pixels[y * pixels.stride + x] & 0xFFFFFFu;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) QCOMPARE(shown.pixel(2 * x + dx, 2 * y + dy) & 0xFFFFFFu, pixel);
                differentNeighbours += (pixels.pixels[y * pixels.stride + x + 1] & 0xFFFFFFu) != pixel;
            }
        }
        QVERIFY2(differentNeighbours > 100, "the picture has edges to keep sharp");
    }

    // A click lands on the game pixel under it (halved, rounding down); a
    // release outside the window still sets the dial from its y; a move
    // lights the lender only over its own game pixels.
    void pointerInGamePixels() {
        QWidget* area = qtGameArea();
        game.homeState = 0;
        game.bankState = 0;
        QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(401, 301));  // game 200, 150
        pump(30);
        QCOMPARE(game.walkerX, 184);
        QCOMPARE(game.walkerY, 132);
        game.inParlour = 1;
        game.dialPower = 50;
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(1141, 601));  // the dial at 570, 300
        QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(-1, 501));  // game y 250
        pump(30);
        QCOMPARE(game.dialPower, 100);  // 50 + 300 - 250
        game.lenderState = 0;
        QTest::mouseMove(area, QPoint(33, 183));  // game 16, 91: the lender's corner
        pump(30);
        QCOMPARE(game.lenderState, 1);
        QTest::mouseMove(area, QPoint(31, 183));  // game 15: just outside
        pump(30);
        QCOMPARE(game.lenderState, 0);
        game.inParlour = 0;
    }

    // The exit through the menu ends the loop (the window journey checks its
    // exit code and its save); this only ends the game started above.
    void cleanupTestCase() {
        qtMainWindow()->menuBar()->actions()[0]->menu()->actions()[3]->trigger();
        shutDown(messageLoop());
    }

    // A pop-up about to open takes the game's greying, in each menu (which
    // items are grey when is the game state tests'; that an item comes back,
    // the recording test's command from a pop-up shown outdoors). The menu's
    // items, their order and keys are the journey's and the recording's.
    void greyingOnPopUp() {
        QMenu* gameMenu = qtMainWindow()->menuBar()->actions()[0]->menu();
        QMenu* settings = qtMainWindow()->menuBar()->actions()[1]->menu();
        game.homeState = PLACE_INSIDE;
        game.noSoundDevice = 1;
        emit gameMenu->aboutToShow();
        emit settings->aboutToShow();
        QVERIFY(!gameMenu->actions()[0]->isEnabled());
        QVERIFY(!settings->actions()[0]->isEnabled());
        game.homeState = 0;
        game.noSoundDevice = 0;
    }

    // Tuning mode's keys: a digit stores, the keypad's does not, F7 steps.
    void tuningKeys() {
        QWidget* area = qtGameArea();
        game.tuningMode = 1;
        game.editPattern = 0;
        game.editStep = 0;
        QTest::keyClick(area, Qt::Key_3, Qt::KeypadModifier);  // the keypad stores nothing
        QTest::keyClick(area, Qt::Key_3);
        pump(30);
        QCOMPARE(BallPathTable.pattern[0].xs[0], 993);
        QTest::keyClick(area, Qt::Key_F7);
        pump(30);
        QCOMPARE(BallPathTable.pattern[0].xs[0], 987);
        game.tuningMode = 0;
    }

    // Text the game writes on a dialog shows in its client area.
    void dialogText() {
        static const ControlTemplate controls[] = {{ControlKind::PushButton, "OK", 41, 60, 60, 40, 14}};
        static const DialogTemplate tmpl = {98, "text", 120, 90, false, "font", 9, controls, 1};
        auto proc = [](Window* dialog, uint32_t message, uint32_t, uint32_t) -> int32_t {
            if (message != MSG_PAINT) return 1;
            if (DrawContext* dc = getWindowDC(dialog)) {  // black text, as a context starts
                textOut(dc, 10, 10, "預金", 6);
                releaseWindowDC(dialog, dc);
            }
            return 1;
        };
        Window* window = createDialog(tmpl, game.mainWindow, proc);
        showDialog(window);
        const QImage shot = qtDialog(window)->grab().toImage();
        auto darkFrom = [&shot](int top) {  // in a 32 × 16 box at x 10
            int dark = 0;
            for (int y = top; y < top + 16; ++y)
                for (int x = 10; x < 42; ++x) dark += qGray(shot.pixel(x, y)) < 64;
            return dark;
        };
        QVERIFY2(darkFrom(10) > 20, "the text");
        QCOMPARE(darkFrom(40), 0);  // below it, where nothing was written
        endDialog(window, 1);
    }

    // The help window shows the named file; a missing one says so.
    void help() {
        QFile help("pachi.hlp");
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write(QStringLiteral("<h1>遊び方</h1><p>玉を打つ</p>").toUtf8());
        help.close();
        showHelp(game.mainWindow, "pachi.hlp", HELP_FORCEFILE);
        QTextBrowser* browser = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QTextBrowser*>(w); b && b->isVisible()) browser = b;
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("玉を打つ")));
        showHelp(game.mainWindow, "error.hlp", HELP_FORCEFILE);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("error.hlp")));
        browser->close();
    }
};

int main(int argc, char** argv) {
    // The settings folder is chosen before anything reads the settings.
    QTemporaryDir config;
    configDir = config.path();
    qputenv("XDG_CONFIG_HOME", configDir.toUtf8());
    initApplication(argc, argv);
    QtWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_qt_window.moc"
