#include "app/ChartCommand.h"

#include "engine/FileIo.h"
#include "tools/CBalanceChartDlg.h"
#include "tools/CPaymentChartDlg.h"
#include "tools/CTotalChartDlg.h"
#include "view/LoanDocument.h"

#include <QFile>
#include <QRegularExpression>
#include <QSize>

#include <functional>
#include <memory>

namespace {

struct ChartKind {
    const char* name;
    std::function<std::unique_ptr<ChartDialog>(const brellow::CTamsicDoc&)> make;
};

const ChartKind kCharts[] = {
    {"payment",
     [](const brellow::CTamsicDoc& doc) { return std::make_unique<CPaymentChartDlg>(doc); }},
    {"total", [](const brellow::CTamsicDoc& doc) { return std::make_unique<CTotalChartDlg>(doc); }},
    {"balance",
     [](const brellow::CTamsicDoc& doc) { return std::make_unique<CBalanceChartDlg>(doc); }},
};

// Far beyond any screen, and small enough that the picture fits in memory.
constexpr int kLargestSide = 10000;

ChartCommandFailure Usage(const QString& message) {
    return {2, message};
}

std::optional<QSize> ParseSize(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() < 1 || size.height() < 1 || size.width() > kLargestSide ||
        size.height() > kLargestSide) {
        return std::nullopt;
    }
    return size;
}

}  // namespace

std::optional<ChartCommandFailure> DrawChartFromCommandLine(const QStringList& operands) {
    const QString name = operands.value(0);
    const ChartKind* kind = nullptr;
    for (const ChartKind& chart : kCharts) {
        if (name == QLatin1String(chart.name)) kind = &chart;
    }
    if (!kind) {
        return Usage(
            QStringLiteral("--chart takes payment, total or balance, not \"%1\"").arg(name));
    }
    QString output;
    QString sizeText;
    QStringList files;
    for (qsizetype i = 1; i < operands.size(); ++i) {
        const QString& argument = operands[i];
        if (argument == QLatin1String("--output") || argument == QLatin1String("--size")) {
            QString& value = argument == QLatin1String("--output") ? output : sizeText;
            if (i + 1 == operands.size() || !value.isEmpty()) {
                return Usage(argument + QStringLiteral(" is given once, with a value"));
            }
            value = operands[++i];
        } else if (argument.startsWith(QLatin1String("--"))) {
            return Usage(QStringLiteral("--chart does not take %1").arg(argument));
        } else {
            files << argument;
        }
    }
    if (output.isEmpty()) return Usage(QStringLiteral("--chart needs --output OUT.png or OUT.svg"));
    if (!IsChartImageName(output)) {
        return Usage(QStringLiteral("--output must name a .png or .svg file, not %1").arg(output));
    }
    std::optional<QSize> size;
    if (!sizeText.isEmpty() && !(size = ParseSize(sizeText))) {
        return Usage(QStringLiteral("--size takes WIDTHxHEIGHT in pixels, each from 1 to %1, "
                                    "not %2")
                         .arg(kLargestSide)
                         .arg(sizeText));
    }
    if (files.size() != 1) return Usage(QStringLiteral("--chart takes one FILE.brw"));
    const QString& file = files.first();

    // The picture must not take the place of the loan it shows.
    const brellow::FileResult refused = brellow::CheckNotOverInput(
        QFile::encodeName(output).toStdString(), QFile::encodeName(file).toStdString());
    if (!refused) {
        return ChartCommandFailure{1, QStringLiteral("Cannot write %1: %2.")
                                          .arg(output, QFile::decodeName(refused.reason.c_str()))};
    }
    LoanDocument document;
    const QString unreadable = document.readFrom(file);
    if (!unreadable.isEmpty()) return ChartCommandFailure{1, unreadable};
    document.computePayment();
    if (!CanChartLoan(document.doc())) {
        return ChartCommandFailure{
            1, QStringLiteral("Cannot chart %1: the loan has no periods.").arg(file)};
    }
    const std::unique_ptr<ChartDialog> chart = kind->make(document.doc());
    const QString nothing = chart->NothingToChart();
    if (!nothing.isEmpty()) {
        return ChartCommandFailure{1, QStringLiteral("Cannot chart %1. %2").arg(file, nothing)};
    }
    if (size) {
        const QSize least = chart->size();
        if (size->width() < least.width() || size->height() < least.height()) {
            return Usage(
                QStringLiteral("--size %1 is smaller than the %2 chart of %3 needs (%4x%5)")
                    .arg(sizeText, name, file)
                    .arg(least.width())
                    .arg(least.height()));
        }
        chart->setFixedSize(*size);
    }
    const QString failure = chart->SaveImage(output);
    if (!failure.isEmpty()) return ChartCommandFailure{1, failure};
    return std::nullopt;
}
