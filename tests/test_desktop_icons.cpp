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
    const QImage small = assets::drawIcon(32);
    ASSERT_EQ(small.size(), QSize(32, 32));
    std::set<QRgb> smallColours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) smallColours.insert(small.pixel(x, y));

    for (int size : assets::DESKTOP_ICON_SIZES) {
        SCOPED_TRACE(size);
        const QImage icon = assets::drawIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        // Hard edges in the icon's own palette: no half-transparent or blended
        // pixel sneaks in at the larger sizes.
        std::set<QRgb> colours;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb c = icon.pixel(x, y);
                EXPECT_TRUE(qAlpha(c) == 0 || qAlpha(c) == 255) << x << "," << y;
                colours.insert(c);
            }
        EXPECT_LE(colours.size(), 17u);
        for (QRgb c : colours) EXPECT_TRUE(smallColours.count(c)) << std::hex << c << " is not in the small icon";
        // The same picture filling the whole square: corners clear, middle
        // drawn, and most cells as in the small icon. About one in eight
        // differs where an edge or a shade of the ball's gradient falls on
        // the other side of a pixel border; a picture left at 32 px in a
        // corner, or drawn off-centre, matches in well under half.
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        EXPECT_GE(agreementWithSmallIcon(icon, small), 0.8);
    }
}

TEST(DesktopIcons, TheIconsOptionWritesOneFilePerSize) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = QDir(dir.path()).filePath(QStringLiteral("icons"));
    ASSERT_TRUE(QDir().mkpath(out));
    QString error;
    ASSERT_TRUE(assets::writeDesktopIcons(out, &error)) << error.toStdString();
    QStringList expected;
    for (int size : assets::DESKTOP_ICON_SIZES) {
        const QString name = QStringLiteral("pachinko-%1.png").arg(size);
        expected << name;
        QImage read(QDir(out).filePath(name));
        EXPECT_EQ(read.size(), QSize(size, size)) << name.toStdString();
        EXPECT_EQ(read.convertToFormat(QImage::Format_ARGB32), assets::drawIcon(size)) << name.toStdString();
    }
    expected.sort();
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name), expected);

    // A folder that cannot be written is reported, not passed over.
    EXPECT_FALSE(assets::writeDesktopIcons(QDir(dir.path()).filePath(QStringLiteral("missing/folder")), &error));
    EXPECT_FALSE(error.isEmpty());
}
