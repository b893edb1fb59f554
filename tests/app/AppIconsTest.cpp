#include "app/AppIcons.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The mean difference of two pictures' channels, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    long long sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return double(sum) / (4.0 * x.width() * x.height());
}

// Icons are drawn at the size asked: the program's own is the installed picture at every
// installed size, and a disabled toolbar picture is not the enabled one.
TEST(AppIcons, DrawnAtTheSizeAskedAsInstalled) {
    for (const int size : {16, 32, 64, 256}) {
        const QImage installed(
            QStringLiteral(BRELLOW_ICONS "/com.korvell.Brellow-%1.png").arg(size));
        ASSERT_FALSE(installed.isNull()) << size;
        const QImage drawn = ProgramIcon().pixmap(size, size).toImage();
        ASSERT_EQ(installed.size(), drawn.size()) << size;
        EXPECT_LT(MeanDifference(installed, drawn), 3.0) << size;
    }
    const QIcon save = DrawnToolbarIcon(ToolIcon::Save);
    const QImage normal = save.pixmap(24, 24).toImage();
    EXPECT_EQ(QSize(24, 24), normal.size());
    EXPECT_GT(MeanDifference(normal, save.pixmap(24, 24, QIcon::Disabled).toImage()), 10.0);
}

}  // namespace
