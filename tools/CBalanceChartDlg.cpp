#include "tools/CBalanceChartDlg.h"

#include "engine/CTamsicDoc.h"
#include "engine/OleDateTime.h"
#include "engine/PaymentCalendar.h"
#include "engine/Schedule.h"
#include "tools/ChartSeries.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

const QColor kBalanceColour(0, 0, 238);
const QColor kWithoutColour(224, 112, 0);
constexpr int kLabelHeight = 15;
constexpr int kLabelRoom = 80;

// The balances after each payment, from the amount before the first: point i is the
// balance after payment i. `add` takes the payment's number and the balance.
template <typename Add>
void WalkBalances(const brellow::CTamsicDoc& doc, Add add) {
    add(0, doc.GetLoanAmount());
    brellow::ScheduleGenerator rows(doc, brellow::kAllYears);
    brellow::ScheduleRow row;
    while (rows.Next(row)) add(row.period, row.balance);
}

// The years between labels: 1, 2, 5, 10, 20, 50... years, the first that leaves `room`
// pixels from one label to the next.
int YearStep(double pixelsPerYear, int room) {
    for (int step = 1;; step *= 10) {
        for (const int factor : {1, 2, 5}) {
            if (step * factor * pixelsPerYear >= room || step > 1000000) return step * factor;
        }
    }
}

QString PaidOffText(const brellow::PayoffFigures& figures) {
    const std::string date = brellow::FormatDate(figures.lastPayment);
    if (date.empty()) return QStringLiteral("with payment %1").arg(figures.payments);
    return QStringLiteral("with payment %1 on %2").arg(figures.payments).arg(date.c_str());
}

}  // namespace

CBalanceChartDlg::CBalanceChartDlg(const brellow::CTamsicDoc& doc, QWidget* parent)
    : ChartDialog(QStringLiteral("Balance Over Time Chart"), kLineChartClientUnits,
                  kLineChartCloseUnits, parent),
      m_doc(doc) {
    FitToLabels(QStringLiteral("Balance over time"));
}

QString CBalanceChartDlg::NothingToChart() const {
    const double amount = m_doc.GetLoanAmount();
    if (m_doc.GetScheduleLength() <= 0) {
        return QStringLiteral("Nothing to chart: the loan has no payments.");
    }
    if (amount == 0.0) return QStringLiteral("Nothing to chart: the loan amount is $0.00.");
    if (!(amount > 0.0)) {
        return QStringLiteral(
                   "Nothing to chart: the loan amount is negative (%1), so there is no balance "
                   "to pay off.")
            .arg(AmountLabel(amount));
    }
    return {};
}

QString CBalanceChartDlg::Description() const {
    const QString nothing = NothingToChart();
    if (!nothing.isEmpty()) return nothing;
    const brellow::PayoffSummary& payoff = CurrentFigures().payoff;
    QString text = QStringLiteral("The balance starts at %1 and is paid off %2.")
                       .arg(AmountLabel(m_doc.GetLoanAmount()), PaidOffText(payoff.loan));
    if (payoff.withoutAdditional && payoff.saved) {
        const brellow::PayoffSavings& saved = *payoff.saved;
        text += QStringLiteral(
                    " Without the additional payment it is paid off %1: the "
                    "additional payment %2 %3 payments, %4 years and %5 months.")
                    .arg(PaidOffText(*payoff.withoutAdditional),
                         saved.payments < 0 ? QStringLiteral("adds") : QStringLiteral("saves"))
                    .arg(std::abs(saved.payments))
                    .arg(std::abs(saved.years))
                    .arg(std::abs(saved.months));
    } else if (!payoff.withoutAdditionalProblem.empty()) {
        text += u' ' + QString::fromStdString(payoff.withoutAdditionalProblem);
    }
    return text;
}

QSize CBalanceChartDlg::LabelGrowth() const {
    const QFontMetrics metrics(ChartFont());
    return {metrics.horizontalAdvance(AmountLabel(CurrentFigures().highest)) - kLabelRoom, 0};
}

const CBalanceChartDlg::Figures& CBalanceChartDlg::CurrentFigures() const {
    const brellow::LoanTerms terms = m_doc.GetTerms();
    if (m_figures && m_figures->terms == terms) return *m_figures;
    Figures figures{terms, brellow::ComputePayoff(m_doc)};
    const auto highest = [&figures](int, double balance) {
        figures.highest = std::max(figures.highest, balance);
    };
    WalkBalances(m_doc, highest);
    figures.payments = figures.payoff.loan.payments;
    if (figures.payoff.withoutAdditional) {
        WalkBalances(brellow::WithoutAdditionalPayment(m_doc), highest);
        figures.payments = std::max(figures.payments, figures.payoff.withoutAdditional->payments);
    }
    m_figures = std::move(figures);
    return *m_figures;
}

const CBalanceChartDlg::Traces& CBalanceChartDlg::TracesFor(const LinePlot& plot) const {
    const Figures& figures = CurrentFigures();
    if (m_traces && m_traces->terms == figures.terms && m_traces->plot == plot) return *m_traces;
    const double vScale = plot.height / figures.highest;
    const double hScale = static_cast<double>(plot.width) / figures.payments;
    const auto trace = [&](const brellow::CTamsicDoc& doc) {
        SeriesTrace points;
        WalkBalances(doc, [&](int payment, double balance) {
            points.Add(plot.left + static_cast<int>(payment * hScale),
                       plot.base - std::trunc(balance * vScale));
        });
        return points.Finish();
    };
    Traces traces{figures.terms, plot, trace(m_doc), {}};
    if (figures.payoff.withoutAdditional) {
        traces.without = trace(brellow::WithoutAdditionalPayment(m_doc));
    }
    m_traces = std::move(traces);
    return *m_traces;
}

void CBalanceChartDlg::PaintChart(QPainter& painter) const {
    const Figures& figures = CurrentFigures();
    const LinePlot plot = LinePlotIn(size());
    const int top = plot.Top();
    const QFontMetrics metrics = painter.fontMetrics();

    DrawPlotFrame(painter, plot);
    TextIn(painter, QRect(5, top - 5, plot.left - 10, kLabelHeight), Qt::AlignRight,
           AmountLabel(figures.highest));
    PaintYearAxis(painter, plot, figures.payments);

    // The payoff: a dashed line up the plot, named above it.
    const brellow::PayoffFigures& loan = figures.payoff.loan;
    const double hScale = static_cast<double>(plot.width) / figures.payments;
    const int payoff = plot.left + static_cast<int>(loan.payments * hScale);
    painter.save();
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawLine(payoff, plot.base, payoff, top - 2);
    painter.restore();
    const std::string date = brellow::FormatDate(loan.lastPayment);
    const QString paidOff = date.empty()
                                ? QStringLiteral("Paid off with payment %1").arg(loan.payments)
                                : QStringLiteral("Paid off %1").arg(date.c_str());
    const int textWidth = metrics.horizontalAdvance(paidOff);
    const int textLeft =
        std::max(plot.left, std::min(payoff - textWidth / 2, width() - 5 - textWidth));
    TextAt(painter, textLeft, top - 3 - metrics.height(), paidOff);

    const Traces& traces = TracesFor(plot);
    const double clipTop = -10.0;
    const double clipBottom = height() + 10.0;
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSeries(painter, SeriesPen(kWithoutColour), traces.without, clipTop, clipBottom);
    DrawSeries(painter, SeriesPen(kBalanceColour), traces.balance, clipTop, clipBottom);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PaintLegend(painter, plot, figures);
}

void CBalanceChartDlg::PaintYearAxis(QPainter& painter, const LinePlot& plot, int payments) const {
    const brellow::PaymentCalendar calendar(m_doc.GetFirstPaymentDate(),
                                            m_doc.GetPaymentFrequency());
    painter.setPen(Qt::black);
    if (!calendar.HasDates()) {
        TextAt(painter, plot.left, plot.base + 2, QStringLiteral("0"));
        TextAt(painter, plot.Right() - 1, plot.base + 2, QString::number(payments));
        TextIn(painter, QRect(plot.left + plot.width / 2 - 20, plot.base + 2, 40, 30),
               Qt::AlignHCenter, QStringLiteral("Period"));
        return;
    }
    const double hScale = static_cast<double>(plot.width) / payments;
    const int first = calendar.FirstYear();
    const int last = calendar.YearOf(payments - 1);
    const double pixelsPerYear = static_cast<double>(plot.width) / (last - first + 1);
    const int labelStep =
        YearStep(pixelsPerYear, painter.fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    // A tick a year unless they would run together.
    const int tickStep = pixelsPerYear >= 4 ? 1 : labelStep;
    const int firstTick = (first + tickStep - 1) / tickStep * tickStep;
    for (long long year = firstTick; year <= last; year += tickStep) {
        const std::int64_t index = calendar.FirstIndexInYear(static_cast<int>(year));
        const int x = plot.left + static_cast<int>(static_cast<double>(index) * hScale);
        painter.drawLine(x, plot.base, x, plot.base + 4);
        if (year % labelStep != 0) continue;
        const QString label = QString::number(year);
        TextIn(painter, QRect(x - 30, plot.base + 5, 60, kLabelHeight), Qt::AlignHCenter, label);
    }
}

void CBalanceChartDlg::PaintLegend(QPainter& painter, const LinePlot& plot,
                                   const Figures& figures) const {
    const int sample = plot.Right() + 20;
    const int text = sample + 30;
    const int textWidth = std::max(40, width() - 5 - text);
    const auto entry = [&](int y, const QColor& colour, const QString& name) {
        if (colour.isValid()) {
            painter.setPen(SeriesPen(colour));
            painter.drawLine(sample, y + kLabelHeight / 2, sample + 25, y + kLabelHeight / 2);
        }
        painter.setPen(Qt::black);
        painter.drawText(QRect(text, y, textWidth, height() - 5 - y),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, name);
    };
    painter.setPen(Qt::black);
    TextAt(painter, text, 150, QStringLiteral("Legends"));
    entry(190, kBalanceColour, QStringLiteral("Balance"));
    if (figures.payoff.withoutAdditional) {
        entry(230, kWithoutColour, QStringLiteral("Without the additional payment"));
    } else if (!figures.payoff.withoutAdditionalProblem.empty()) {
        entry(230, QColor(), QString::fromStdString(figures.payoff.withoutAdditionalProblem));
    }
}

void ShowBalanceChart(const brellow::CTamsicDoc& doc, QWidget* parent) {
    CBalanceChartDlg dialog(doc, parent);
    dialog.exec();
}
