// A session played in the Qt window while it is recorded, then replayed by
// pachinko-headless from the recording: both end in the same state and save
// the same pachiko.dat. The session touches the inputs the window journey
// does not: start-up boxes with ticks under them, a box opened by a menu
// command, a yes/no box opened by a tick, a dialog's check box, radio buttons
// and close box, menu commands. (Keys held, clicks, pointer moves and typing
// into an edit box are the journey's, which replays its own recording.) The
// recording's "after N" lines say how many ticks ran under each box.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/qt_backend.h"
#include "platform/window.h"
#include "shell/main_window.h"
#include "state/game_state.h"
#include "state_dump.h"
#include "qt_support.h"

using namespace platform;
using namespace qt_support;

namespace {

QByteArray readAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QDialog* openDialog() { return qtDialog(game.openDialog); }

template <typename Button>
Button* control(const QString& text) {
    QDialog* dialog = openDialog();
    if (!dialog) return nullptr;
    for (Button* b : dialog->findChildren<Button*>())
        if (b->text() == text) return b;
    return nullptr;
}

QAction* menuItem(int popup, int item) {
    return qtMainWindow()->menuBar()->actions()[popup]->menu()->actions()[item];
}

// Waits for the walker's next ticks to have run.
void ticks(int n) {
    const int32_t until = game.dayTicks + n;
    QVERIFY(pumpUntil([until] { return game.dayTicks >= until; }));
}

void click(int x, int y) { QTest::mouseClick(qtGameArea(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y)); }

}  // namespace

class RecordingTest : public QObject {
    Q_OBJECT

private slots:
    void aSessionReplaysToTheSameState() {
        QTemporaryDir played, replayed;
        QVERIFY(played.isValid() && replayed.isValid());
        copyGamePictures(played.path());
        copyGamePictures(replayed.path());
        QDir::setCurrent(played.path());
        const QString recording = played.filePath("session.txt");
        QVERIFY(startRecording(recording.toStdString(), "# test session\n"));

        // Start-up: the two sound boxes and the one of the missing save, each
        // open for two ticks.
        {
            BoxAnswerer answerer(QMessageBox::Ok, 2, 3);
            resetGameState();
            QVERIFY(startUp("", 1));
            pumpUntilAnswered(answerer);
        }
        // The introduction opens on the first tick: "do not show again", OK.
        QVERIFY(pumpUntil([] { return control<QPushButton>("OK") != nullptr; }));
        control<QCheckBox>(QStringLiteral("起動時この画面を表示しない"))->click();
        control<QPushButton>("OK")->click();
        QVERIFY(pumpUntil([] { return openDialog() == nullptr; }));
        QCOMPARE(game.player.introDisabled, 1);

        // Out of the home (off its door, so that it shuts behind him).
        click(252, 376);
        QVERIFY(pumpUntil([] { return game.homeState == 44; }));
        click(272, 376);
        QVERIFY(pumpUntil([] { return game.homeState == 0; }));

        // Outdoors on day 0, 読み出し: there is no saved game yet, so the
        // command itself opens a box, answered after two ticks.
        {
            emit qtMainWindow()->menuBar()->actions()[0]->menu()->aboutToShow();
            BoxAnswerer answerer(QMessageBox::Ok, 2);
            menuItem(0, 2)->trigger();
            pumpUntilAnswered(answerer);
        }

        // Back into the home, onto its inside.
        click(252, 376);
        QVERIFY(pumpUntil([] { return game.homeState >= 19 && game.homeState <= 24; }));

        // To the bed: the end-of-day question, answered No after three ticks.
        {
            BoxAnswerer answerer(QMessageBox::No, 3);
            click(320, 292);
            pumpUntilAnswered(answerer);
            QCOMPARE(answerer.texts, QStringList{QStringLiteral("終了しますか。？")});
        }

        // The sound setting from the menu, showing the game's choice: off,
        // kept by the close box.
        menuItem(1, 0)->trigger();
        QVERIFY(pumpUntil([] { return control<QRadioButton>("Off") != nullptr; }));
        QVERIFY(control<QRadioButton>("On")->isChecked());
        control<QRadioButton>("Off")->click();
        openDialog()->close();
        QVERIFY(pumpUntil([] { return openDialog() == nullptr; }));
        QCOMPARE(game.soundOff, 1);
        ticks(3);

        // Exit from the menu: the game saves and ends.
        menuItem(0, 3)->trigger();
        QVERIFY(pumpUntil([] { return !pump(10); }));
        QCOMPARE(shutDown(0), 0);
        stopRecording();
        const std::string playedState = gameStateJson();

        // Ticks ran under the boxes, as many as the answerers waited. What
        // else the recording must hold, its replay shows: a line missing or
        // out of place leaves a box unanswered or the state different.
        const QByteArray script = readAll(recording);
        QVERIFY(script.contains("answer ok after 2") && script.contains("answer no after 3"));

        QProcess headless;
        headless.start(PACHINKO_HEADLESS, {"--dir", replayed.path(), "--script", recording});
        QVERIFY(headless.waitForFinished(120000));
        QCOMPARE(headless.exitCode(), 0);
        const QByteArray log = readAll(replayed.filePath("log.txt"));
        QVERIFY2(!log.contains("unanswered") && !log.contains("script:"), log.constData());
        // Both runs use the logging sound device, so every field must agree.
        QCOMPARE(readAll(replayed.filePath("state.json")).toStdString(), playedState);
        QCOMPARE(readAll(replayed.filePath("pachiko.dat")), readAll(played.filePath("pachiko.dat")));
    }
};

QTEST_MAIN(RecordingTest)
#include "test_recording.moc"
