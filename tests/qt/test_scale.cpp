// The window's scale: remembered in the desktop's settings (here a temporary
// folder named by XDG_CONFIG_HOME), the game area shown N times larger with
// sharp pixels, and the pointer mapped back to game pixels.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/qt_backend.h"
#include "platform/screen.h"
#include "media/display.h"
#include "platform/window.h"
#include "shell/main_window.h"
#include "state/game_state.h"
#include "qt_support.h"

using namespace platform;
using namespace qt_support;

namespace {

QString configDir;

}  // namespace

class ScaleTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    // The choice survives the process: it is in the settings file, which a
    // later run reads. (Scales out of range are refused on the command line,
    // which the options test tries.)
    void theChoiceIsRememberedInTheSettings() {
        QVERIFY(rememberWindowScale(3));
        QVERIFY(rememberWindowScale(2));  // the last choice is the one kept
        QFile file(configDir + "/pachinko/pachinko.conf");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.readAll().contains("scale=2"), "the settings file holds the last choice");
        QCOMPARE(windowScale(), 2);
    }

    void theGameAreaIsShownLargerWithSharpPixels() {
        QVERIFY(dir_.isValid());
        QDir::setCurrent(dir_.path());
        copyGamePictures(dir_.path());
        BoxAnswerer answerer(QMessageBox::Ok, 0, 3);  // no sounds, no saved game
        resetGameState();
        QVERIFY(startUp("", 1));
        QWidget* area = qtGameArea();
        QCOMPARE(area->size(), QSize(1280, 832));
        QCOMPARE(qtMainWindow()->minimumSize(), qtMainWindow()->maximumSize());  // not resizable
        pumpUntil([] { return game.dayTicks >= 3; });
        QImage shown = area->grab().toImage();
        ScreenPixels pixels;
        QVERIFY(primaryPixels(pixels));
        int differentNeighbours = 0;
        for (int y = 0; y < 416; y += 13) {
            for (int x = 0; x < 640; x += 7) {
                const QRgb game = pixels.pixels[y * pixels.stride + x] & 0xFFFFFFu;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        QCOMPARE(shown.pixel(2 * x + dx, 2 * y + dy) & 0xFFFFFFu, game);
                differentNeighbours += (pixels.pixels[y * pixels.stride + x + 1] & 0xFFFFFFu) != game;
            }
        }
        QVERIFY2(differentNeighbours > 100, "the picture has edges to keep sharp");
    }

    // A click lands on the game pixel under it (halved, rounding down); a
    // release outside the window still sets the dial from its y; a move
    // lights the lender only over its own game pixels.
    void thePointerIsMappedBackToGamePixels() {
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
        QCOMPARE(game.dialDragging, 0);
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

    // The game started above is never shut down: its display goes here, so
    // nothing it made outlives the test.
    void cleanupTestCase() { releasePresentation(); }
};

int main(int argc, char** argv) {
    // The settings folder is chosen before anything reads the settings.
    QTemporaryDir config;
    configDir = config.path();
    qputenv("XDG_CONFIG_HOME", configDir.toUtf8());
    initApplication(argc, argv);
    ScaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_scale.moc"
