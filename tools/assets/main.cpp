// pachinko-assets: draws the game's 37 pictures, the program icon and the two
// help files, synthesises the four sounds, and on request writes preview
// sheets. Everything is generated from code; two runs write identical bytes.
//
//   pachinko-assets --out DIR [--previews DOCSDIR] [--no-sounds]
//   pachinko-assets --icons DIR
//   pachinko-assets --web-sounds DIR
//
// --no-sounds leaves the (slow to synthesise) sounds out, for quick runs of
// the picture tests and previews. --icons writes only the icon at the sizes a
// desktop's menus ask for (pachinko-32.png … pachinko-256.png), for installing.
// --web-sounds writes only the four sounds, in the browser build's smaller
// format (mono at half the rate), for the page's content folder.
#include "pictures.h"
#include "sounds.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: pachinko-assets --out DIR [--previews DOCSDIR] [--no-sounds]\n"
                 "       pachinko-assets --icons DIR\n"
                 "       pachinko-assets --web-sounds DIR\n");
    return 2;
}

int fail(const QString& message) {
    std::fprintf(stderr, "pachinko-assets: %s\n", message.toLocal8Bit().constData());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QString outDir, previewDir, iconDir;
    bool sounds = true;
    const char* webSoundDir = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            outDir = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--previews") == 0 && i + 1 < argc)
            previewDir = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc)
            iconDir = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--no-sounds") == 0)
            sounds = false;
        else if (std::strcmp(argv[i], "--web-sounds") == 0 && i + 1 < argc && argc == 3)
            webSoundDir = argv[++i];
        else
            return usage();
    }
    if (webSoundDir) {
        if (!QDir().mkpath(QFile::decodeName(webSoundDir)))
            return fail(QStringLiteral("cannot create %1").arg(QFile::decodeName(webSoundDir)));
        return writeSounds(webSoundDir, true) ? 0 : fail(QStringLiteral("cannot write the sounds"));
    }
    if (outDir.isEmpty() == iconDir.isEmpty()) return usage();

    // Drawing needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    if (!iconDir.isEmpty()) {
        if (!QDir().mkpath(iconDir)) return fail(QStringLiteral("cannot create %1").arg(iconDir));
        QString error;
        return assets::writeDesktopIcons(iconDir, &error) ? 0 : fail(error);
    }

    if (!QDir().mkpath(outDir)) return fail(QStringLiteral("cannot create %1").arg(outDir));
    // Only generated files are written, each under its own fixed name; the
    // player's save file "pachiko.dat" in the same folder is never touched.
    QString error;
    if (!assets::writePictures(outDir, &error)) return fail(error);
    if (!assets::writeIcon(outDir, &error)) return fail(error);
    if (!assets::writeHelp(outDir, &error)) return fail(error);
    if (sounds && !writeSounds(QFile::encodeName(outDir).toStdString())) return fail(QStringLiteral("cannot write the sounds"));
    if (!previewDir.isEmpty() && !assets::writePreviews(outDir, previewDir, &error)) return fail(error);
    return 0;
}
