#include "app/CAboutDlg.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The About box names the licence and links the home page the software centres show.
TEST(CAboutDlg, NamesTheLicenceAndLinksTheMetainfoHomePage) {
    QFile metainfo(QStringLiteral(BRELLOW_METAINFO));
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly)) << BRELLOW_METAINFO;
    const QString description = QString::fromUtf8(metainfo.readAll());
    const auto homepage = QRegularExpression(QStringLiteral("<url type=\"homepage\">([^<]+)</url>"))
                              .match(description);
    ASSERT_TRUE(homepage.hasMatch());
    EXPECT_TRUE(description.contains(QStringLiteral("<project_license>MIT</project_license>")));

    const CAboutDlg about;
    QStringList lines;
    const QLabel* link = nullptr;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        lines << label->text();
        if (label->openExternalLinks()) link = label;
    }
    EXPECT_TRUE(lines.contains(QStringLiteral("Released under the MIT License.")))
        << lines.join('|').toStdString();
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(QStringLiteral("<a href=\"%1\">%1</a>").arg(homepage.captured(1)).toStdString(),
              link->text().toStdString());
}

}  // namespace
