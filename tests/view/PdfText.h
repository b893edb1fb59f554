#pragma once

// Reading printed PDF files back in tests, with poppler's pdftotext and pdftoppm (the
// poppler-utils package): the text of each page as laid out on paper, the payment numbers
// listed on a page, and a page as a grey image.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QStringList>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace pdf_text {

inline QByteArray Run(const QString& program, const QStringList& arguments) {
    const QString found = QStandardPaths::findExecutable(program);
    EXPECT_FALSE(found.isEmpty()) << program.toStdString() << " (poppler-utils) is needed";
    if (found.isEmpty()) return {};
    QProcess process;
    process.start(found, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    EXPECT_EQ(0, process.exitCode()) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

// The text of every page, in order.
inline std::vector<std::string> Pages(const QString& pdf) {
    const std::string text =
        Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .toStdString();
    std::vector<std::string> pages;
    std::size_t start = 0;
    // Every page, the last one too, ends with a form feed.
    for (std::size_t end; (end = text.find('\f', start)) != std::string::npos; start = end + 1) {
        pages.push_back(text.substr(start, end - start));
    }
    return pages;
}

// The payment numbers of the schedule rows on a page, top to bottom: a line that starts with
// a number followed by a date.
inline std::vector<int> Periods(const std::string& page) {
    static const std::regex row(R"(^\s*(\d+)\s+\d\d/\d\d/\d{4}\s)");
    std::vector<int> periods;
    std::istringstream lines(page);
    std::smatch match;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_search(line, match, row)) periods.push_back(std::stoi(match[1]));
    }
    return periods;
}

inline int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The first line that holds `part`, without its spacing: "Running Totals: $1.00 $0.00".
inline std::string Line(const std::string& text, const std::string& part) {
    const std::size_t at = text.find(part);
    if (at == std::string::npos) return {};
    const std::size_t start = text.rfind('\n', at) + 1;  // 0 on the first line
    const std::string line = text.substr(start, text.find('\n', at) - start);
    return std::regex_replace(std::regex_replace(line, std::regex(" +"), " "),
                              std::regex("^ | $"), "");
}

// Page `page` (1-based) at `dpi`, in grey, cut to `crop` (a width or height of 0 runs to the
// page's edge).
inline QImage Render(const QString& pdf, int page, int dpi, const QRect& crop) {
    const QString base = QFileInfo(pdf).path() + QStringLiteral("/render");
    QStringList arguments = {
        QStringLiteral("-gray"),     QStringLiteral("-singlefile"), QStringLiteral("-r"),
        QString::number(dpi),        QStringLiteral("-f"),          QString::number(page),
        QStringLiteral("-l"),        QString::number(page),         QStringLiteral("-x"),
        QString::number(crop.x()),   QStringLiteral("-y"),          QString::number(crop.y()),
        QStringLiteral("-aaVector"), QStringLiteral("no")};
    if (crop.width() > 0) arguments << QStringLiteral("-W") << QString::number(crop.width());
    if (crop.height() > 0) arguments << QStringLiteral("-H") << QString::number(crop.height());
    Run(QStringLiteral("pdftoppm"), arguments << pdf << base);
    return QImage(base + QStringLiteral(".pgm"));
}

}  // namespace pdf_text
