// The icon at the sizes a desktop's menus use: each size is the same picture
// as the program's 32 px icon, drawn afresh in its sixteen colours with hard
// transparency, and --icons writes exactly those files.
#include <gtest/gtest.h>

#include "pictures.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <set>

namespace {

// The 32 px icon's pixel under each 32-grid cell's centre of a larger one.
double agreementWithSmallIcon(const QImage& big, const QImage& small) {
    const int scale = big.width() / small.width();
    int same = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            if (big.pixel(x * scale + scale / 2, y * scale + scale / 2) == small.pixel(x, y)) ++same;
    return static_cast<double>(same) / (small.width() * small.height());
}

}  // namespace

TEST(DesktopIcons, EverySizeIsTheSmallIconDrawnAfreshInItsSixteenColours) {
    // The small icon: hard edges (each pixel clear or opaque) in its own
    // sixteen colours and the clear one.
    const QImage small = assets::drawIcon(32);
    ASSERT_EQ(small.size(), QSize(32, 32));
    std::set<QRgb> smallColours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) smallColours.insert(small.pixel(x, y));
    for (QRgb c : smallColours) EXPECT_TRUE(qAlpha(c) == 0 || qAlpha(c) == 255) << std::hex << c;
    EXPECT_LE(smallColours.size(), 17u);

    for (int size : assets::DESKTOP_ICON_SIZES) {
        SCOPED_TRACE(size);
        const QImage icon = assets::drawIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        // No half-transparent or blended pixel sneaks in at the larger sizes.
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_TRUE(smallColours.count(icon.pixel(x, y))) << std::hex << icon.pixel(x, y) << " is not in the small icon";
        // The same picture filling the whole square: a clear corner and most
        // cells as in the small icon. About one in eight differs where an
        // edge or a shade of the ball's gradient falls on the other side of a
        // pixel border; a picture left at 32 px in a corner, or drawn
        // off-centre, matches in well under half.
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
        EXPECT_GE(agreementWithSmallIcon(icon, small), 0.8);
    }
}

// The files are the drawn icons, one per size, and nothing else.
TEST(DesktopIcons, TheIconsOptionWritesOneFilePerSize) {
    QTemporaryDir dir;
    const QString out = dir.path();
    QString error;
    ASSERT_TRUE(assets::writeDesktopIcons(out, &error)) << error.toStdString();
    for (int size : assets::DESKTOP_ICON_SIZES) {
        const QString name = QStringLiteral("pachinko-%1.png").arg(size);
        EXPECT_EQ(QImage(QDir(out).filePath(name)).convertToFormat(QImage::Format_ARGB32), assets::drawIcon(size))
            << name.toStdString();
    }
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), static_cast<qsizetype>(std::size(assets::DESKTOP_ICON_SIZES)));

    // A folder that cannot be written is reported, not passed over.
    EXPECT_FALSE(assets::writeDesktopIcons(QDir(out).filePath(QStringLiteral("missing/folder")), &error));
    EXPECT_FALSE(error.isEmpty());
}
