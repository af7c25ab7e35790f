// pachinko.exe in its real window under Wine on Xvfb, played from outside as
// a person would: the Linux window test's own journey (its file is compiled
// in here, its main renamed), with the game started through Wine.
//
// Sound: the test gives Wine's ALSA a configuration of its own. With a null
// device, DirectSound opens and the game's sounds start and stop as its event
// log says (the log reaches the debugger's output, which Wine prints); with
// no device at all, the game shows its sound-failure message and plays on,
// until the Windows session ends (Wine's wineboot ends it), which saves.
//
// window_e2e_wine GAME-DIR PACHINKO-EXE OUT-DIR [--no-sound-device]
// Its includes are the Linux test's.
#define main linux_window_e2e_main
#include "window_e2e/window_e2e.cpp"
#undef main

namespace {

// The lines the game wrote to its event log, in order: Wine prints each as
// OutputDebugStringA "text" (a long one cut short after its closing quote).
QStringList eventLines(const QString& wineOutput) {
    QStringList lines;
    const QRegularExpression line(QStringLiteral("OutputDebugStringA \"(.*?)\"?$"), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(wineOutput); it.hasNext();) lines << it.next().captured(1);
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: window_e2e_wine GAME-DIR PACHINKO-EXE OUT-DIR [--no-sound-device]\n");
        return 2;
    }
    const QString gameDir = argv[1], pachinko = argv[2];
    const bool soundDevice = !(argc >= 5 && QString(argv[4]) == "--no-sound-device");
    outDir = QDir(argv[3]).absolutePath();
    QDir(outDir).removeRecursively();
    QDir().mkpath(outDir);
    const QString wine = qEnvironmentVariable("PACHINKO_WINE", "wine");
    for (const QString& tool : {QString("Xvfb"), QString("xdotool"), QString("xwd"), QString("xwininfo"), wine}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            std::printf("window_e2e_wine: skipped: %s is not installed\n", qPrintable(tool));
            return 77;
        }
    }
    Session s;
    std::unique_ptr<Xvfb> x;
    QProcess game;
    try {
        x = std::make_unique<Xvfb>();
        s.g.dir = outDir + "/play";
        copyContent(gameDir, s.g.dir);
        // Wine's ALSA reads only this file: a device that plays to nowhere,
        // or none at all.
        QFile alsa(outDir + "/asound.conf");
        check(alsa.open(QIODevice::WriteOnly), "cannot write asound.conf");
        alsa.write(soundDevice ? "pcm.!default { type null }\nctl.!default { type hw card 0 }\n" : "\n");
        alsa.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ALSA_CONFIG_PATH", alsa.fileName());
        env.insert("WINEDEBUG", "-all,warn+debugstr");  // the game's event log, on stderr
        game.setProcessEnvironment(env);
        game.setWorkingDirectory(s.g.dir);
        game.setStandardOutputFile(outDir + "/game.log");
        game.setStandardErrorFile(outDir + "/game.log", QIODevice::Append);
        // One game pixel to a screen pixel, whatever an earlier run chose.
        game.start(wine, {pachinko, "--scale", "1", "--record", outDir + "/session.txt"});
        check(game.waitForStarted(COMMAND_MS), "the game did not start");

        if (soundDevice) {
            s.play();
            s.quitThroughTheMenu(game);
            const QByteArray saved = s.checkSaved();
            // The town's music, the machine's with a ball paid out, the
            // town's again, and silence at the end, in this order.
            const QStringList log = eventLines(QString::fromUtf8(readAll(outDir + "/game.log")));
            qsizetype from = 0;
            for (const char* want : {"sound play base1.wav loop", "sound stop base1.wav", "sound play base2.wav loop",
                                     "sound play tamade.wav#1 once", "sound stop base2.wav",
                                     "sound play base1.wav loop", "sound stop base1.wav"}) {
                from = log.indexOf(want, from) + 1;
                check(from > 0, QString("the event log lacks \"") + want + "\" in its order");
            }
            // The recording replays to the same saved game in pachinko-headless.exe.
            copyContent(gameDir, outDir + "/replay");
            QProcess replay;
            replay.start(wine, {QFileInfo(pachinko).dir().filePath("pachinko-headless.exe"), "--dir",
                                outDir + "/replay", "--script", outDir + "/session.txt"});
            check(replay.waitForFinished(STEP_MS) && replay.exitCode() == 0, "the replay did not end cleanly");
            check(readAll(outDir + "/replay/pachiko.dat") == saved, "the replay saved a different pachiko.dat");
        } else {
            s.startUp();
            s.leaveHome();
            // Windows ends the session: the game saves as its close box does,
            // after the sound-failure message it played on past.
            QProcess endSession;
            endSession.start(wine, {"wineboot", "--end-session"});
            check(game.waitForFinished(STEP_MS), "the game did not end with the session");
            endSession.waitForFinished(STEP_MS);
            const QByteArray saved = readAll(s.g.dir + "/pachiko.dat");
            check(saved.size() == 64 && le32(saved, 0) == 0, "pachiko.dat has 64 bytes, day 0");
            const QStringList log = eventLines(QString::fromUtf8(readAll(outDir + "/game.log")));
            check(log.filter("messagebox owner=none caption=\\\"Error\\\" text=\\\"DirectSound").size() == 1,
                  "no sound-failure message");
        }
    } catch (const std::exception& e) {
        return journeyFailed("window_e2e_wine", e, x != nullptr, s.g.window, game);
    }
    std::printf("1 passed, 0 failed\n");
    return 0;
}
