// Helpers of the Qt window tests (offscreen platform): hand messages to the
// game as its loop would, answer message boxes as a player, fill a folder.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "platform/window.h"
#include "state/game_state.h"

namespace qt_support {

// The generated pictures and ball courses of the build's game folder (not
// its sounds: their absence brings boxes at start-up).
inline void copyGamePictures(const QString& to) {
    QDir game(QStringLiteral(PACHINKO_GAME_DIR));
    for (const QString& name : game.entryList({QStringLiteral("*.bmp"), QStringLiteral("tama.dat")}, QDir::Files))
        QVERIFY(QFile::copy(game.filePath(name), QDir(to).filePath(name)));
}

// Hands messages to the game for a while, as the main loop would. False once
// the quit message came.
inline bool pump(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    platform::Message message;
    while (clock.elapsed() < milliseconds) {
        if (platform::peekMessage()) {
            if (!platform::getMessage(message)) return false;
            platform::dispatchMessage(message);
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
        }
    }
    return true;
}

// Runs the game's messages until `done` holds (or twenty seconds passed, so
// that a stalled game fails the test instead of hanging it).
template <typename Condition>
bool pumpUntil(Condition done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000) pump(10);
    return done();
}

// Answers the next `boxesLeft` message boxes once `wantTicks` ticks have run
// under each (or after ten seconds, so a stalled tick stream fails the test
// instead of hanging it).
struct BoxAnswerer {
    QMessageBox::StandardButton button;
    int wantTicks;
    int boxesLeft;
    int32_t ticksAtOpen = 0;
    QStringList texts;  // of every box answered
    QTimer timer;
    QElapsedTimer open;

    BoxAnswerer(QMessageBox::StandardButton b, int ticks, int boxes = 1) : button(b), wantTicks(ticks), boxesLeft(boxes) {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || boxesLeft == 0) return;
            if (!open.isValid()) {
                open.start();
                ticksAtOpen = game.dayTicks;
            }
            if (game.dayTicks - ticksAtOpen < wantTicks && open.elapsed() < 10000) return;
            texts << box->text();
            open.invalidate();
            --boxesLeft;
            if (QAbstractButton* button = box->button(this->button)) button->click();
        });
        timer.start();
    }
};

// Runs the game's messages until the answerer has answered.
inline void pumpUntilAnswered(const BoxAnswerer& answerer) {
    pumpUntil([&answerer] { return answerer.boxesLeft == 0; });
    pump(20);
}

}  // namespace qt_support
