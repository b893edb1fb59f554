// The schedule view's paint, tab switch and layout on the long weekly loan (400,000
// payments of a 900,000,000,000.00 loan at 0.01 % from 1 January 2026) beside a 30-year monthly
// one, and start-up to a shown main window. A paint fills an image of 1000 × 800 pixels, one
// screenful.

#ifdef BRELLOW_HAVE_GUI

#include "app/CBrellowApp.h"
#include "app/CMainFrame.h"
#include "engine/Schedule.h"
#include "view/CTamsicView.h"
#include "view/DisplaySettings.h"
#include "view/LoanDocument.h"
#include "view/YearTabStrip.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace {

using brellow::OleDateTime;

enum Loan { kWeekly400k, kMonthly360 };
enum Position { kTop, kMiddle, kEnd };

const QSize kScreen(1000, 800);

brellow::CTamsicDoc MakeLoan(Loan loan) {
    brellow::CTamsicDoc doc(OleDateTime::FromDate(2025, 12, 15));
    if (loan == kWeekly400k) {
        doc.SetLoanAmount(900000000000.0);
        doc.SetInterestRate(0.01);
        doc.SetNumPeriods(400000);
        doc.SetFirstPaymentDate(OleDateTime::FromDate(2026, 1, 1));
        doc.SetPaymentFrequency(static_cast<int>(brellow::PaymentFrequency::Weekly));
    } else {
        doc.SetLoanAmount(100000.0);
        doc.SetInterestRate(6.0);
        doc.SetNumPeriods(360);
        doc.SetFirstPaymentDate(OleDateTime::FromDate(2003, 1, 1));
        doc.SetPaymentFrequency(static_cast<int>(brellow::PaymentFrequency::Monthly));
    }
    doc.SetCompoundFrequency(static_cast<int>(brellow::CompoundFrequency::Monthly));
    doc.m_bParametersPending = false;
    return doc;
}

struct Fixture {
    explicit Fixture(Loan loan) : document(MakeLoan(loan)), view(document, settings) {
        view.resize(kScreen);
        view.OnInitialUpdate();
    }

    void Scroll(Position position) {
        QScrollBar* const bar = view.verticalScrollBar();
        const int y = position == kTop      ? 0
                      : position == kMiddle ? bar->maximum() / 2
                                            : bar->maximum();
        view.ScrollTo(QPoint(0, y));
    }

    void Paint(QImage& image) {
        const QRect exposed(view.ScrollPosition(), kScreen);
        QPainter painter(&image);
        painter.translate(-exposed.topLeft());
        view.OnDraw(painter, exposed);
    }

    DisplaySettings settings;
    LoanDocument document;
    CTamsicView view;
};

void BM_ViewPaint(benchmark::State& state) {
    Fixture fixture(static_cast<Loan>(state.range(0)));
    fixture.Scroll(static_cast<Position>(state.range(1)));
    QImage image(kScreen, QImage::Format_RGB32);
    for (auto _ : state) {
        fixture.Paint(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ViewPaint)
    ->ArgNames({"loan", "pos"})
    ->Args({kWeekly400k, kTop})
    ->Args({kWeekly400k, kMiddle})
    ->Args({kWeekly400k, kEnd})
    ->Args({kMonthly360, kTop})
    ->Args({kMonthly360, kMiddle})
    ->Args({kMonthly360, kEnd})
    ->Unit(benchmark::kMillisecond);

// Selecting a year tab: the new table height, then a screen of that year's rows.
void BM_ViewTabSwitch(benchmark::State& state) {
    Fixture fixture(static_cast<Loan>(state.range(0)));
    const int last = fixture.view.YearTabs()->count() - 1;
    const int tabs[] = {last / 2, last};
    QImage image(kScreen, QImage::Format_RGB32);
    int next = 0;
    for (auto _ : state) {
        fixture.view.SelectTab(tabs[next]);
        next = 1 - next;
        fixture.view.ScrollTo(QPoint(0, fixture.view.m_nTableTop - 40));
        fixture.Paint(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ViewTabSwitch)
    ->ArgName("loan")
    ->Arg(kWeekly400k)
    ->Arg(kMonthly360)
    ->Unit(benchmark::kMillisecond);

// A full layout that builds the tab strip anew (as after switching the table on).
void BM_ViewUpdateLayout(benchmark::State& state) {
    Fixture fixture(static_cast<Loan>(state.range(0)));
    for (auto _ : state) {
        fixture.settings.showTable = false;
        fixture.view.UpdateLayout();
        fixture.settings.showTable = true;
        fixture.view.UpdateLayout();
    }
}
BENCHMARK(BM_ViewUpdateLayout)
    ->ArgName("loan")
    ->Arg(kWeekly400k)
    ->Arg(kMonthly360)
    ->Unit(benchmark::kMillisecond);

// Start-up with no recent file: main window, a new document in its window, shown.
void BM_StartupToShownMainWindow(benchmark::State& state) {
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    for (auto _ : state) {
        auto app = std::make_unique<CBrellowApp>();
        app->InitInstance({});
        QApplication::processEvents();
        benchmark::DoNotOptimize(app->GetMainFrame()->isVisible());
        state.PauseTiming();
        app->GetMainFrame()->ActiveDocument()->doc().m_bParametersPending = false;
        app.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToShownMainWindow)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

#endif  // BRELLOW_HAVE_GUI
