#include "view/PrintPreviewDialog.h"

#include "view/LoanPrinter.h"

#include <QActionGroup>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace {

// Screen pixels around and between the pages.
constexpr int kMargin = 12;
constexpr double kZoomStep = 1.25;
// Of the page's real size.
constexpr double kSmallestZoom = 0.1;
constexpr double kLargestZoom = 4.0;

}  // namespace

// The pages on screen, drawn straight from the printout at every paint: nothing of a page
// is kept once it has been painted.
class PreviewCanvas final : public QWidget {
public:
    PreviewCanvas(const LoanPrinter& loan, const QPrinter& printer, int pageCount,
                  std::function<void(int)> drawn)
        : m_loan(loan),
          m_area(PrintArea::Of(printer)),
          m_paper(printer.paperRect(QPrinter::DevicePixel).toRect()),
          m_printable(printer.pageRect(QPrinter::DevicePixel).toRect()),
          m_pageCount(pageCount),
          m_drawn(std::move(drawn)) {
        setBackgroundRole(QPalette::Dark);
        setAutoFillBackground(true);
    }

    QSize Paper() const { return m_paper.size(); }
    int FirstPage() const noexcept { return m_first; }
    int SideBySide() const noexcept { return m_sideBySide; }
    double Scale() const noexcept { return m_scale; }

    // Shows `sideBySide` pages from `first` on, `scale` screen pixels to a printer's pixel.
    void Show(int first, int sideBySide, double scale) {
        m_first = first;
        m_sideBySide = sideBySide;
        m_scale = scale;
        setFixedSize(kMargin + sideBySide * (SheetSize().width() + kMargin),
                     2 * kMargin + SheetSize().height());
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        const QSize sheet = SheetSize();
        for (int i = 0; i < m_sideBySide && m_first + i <= m_pageCount; ++i) {
            const QRect paper(QPoint(kMargin + i * (sheet.width() + kMargin), kMargin), sheet);
            if (!paper.intersects(event->rect())) continue;
            painter.fillRect(paper, Qt::white);
            painter.setPen(palette().color(QPalette::Shadow));
            painter.drawRect(paper.adjusted(-1, -1, 0, 0));
            painter.save();
            painter.setClipRect(paper & event->rect());
            painter.translate(paper.topLeft());
            painter.scale(double(sheet.width()) / m_paper.width(),
                          double(sheet.height()) / m_paper.height());
            painter.translate(m_printable.topLeft() - m_paper.topLeft());
            m_loan.DrawPage(painter, m_area, m_first + i);
            painter.restore();
            m_drawn(m_first + i);
        }
    }

private:
    QSize SheetSize() const {
        return {std::max(1, int(std::lround(m_paper.width() * m_scale))),
                std::max(1, int(std::lround(m_paper.height() * m_scale)))};
    }

    const LoanPrinter& m_loan;
    const PrintArea m_area;
    const QRect m_paper;
    const QRect m_printable;
    const int m_pageCount;
    const std::function<void(int)> m_drawn;
    int m_first = 1;
    int m_sideBySide = 1;
    double m_scale = 0.1;
};

PrintPreviewDialog::PrintPreviewDialog(const LoanPrinter& loan, const QPrinter& printer,
                                       int pagesSideBySide, QWidget* parent)
    : QDialog(parent),
      m_pageCount(loan.CountPages(PrintArea::Of(printer))),
      m_printerDpi(std::max(1, printer.resolution())),
      m_canvas(new PreviewCanvas(loan, printer, m_pageCount,
                                 [this](int page) { emit pageDrawn(page); })),
      m_scroll(new QScrollArea) {
    setWindowTitle(tr("Print Preview - %1").arg(loan.Title()));
    m_scroll->setWidget(m_canvas);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    auto* const layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createToolBar());
    layout->addWidget(m_scroll);
    m_canvas->Show(1, pagesSideBySide == 2 ? 2 : 1, m_canvas->Scale());
    (pagesSideBySide == 2 ? m_facing : m_single)->setChecked(true);
    updateNavigation();
    resize(900, 1000);
}

PrintPreviewDialog::~PrintPreviewDialog() = default;

QToolBar* PrintPreviewDialog::createToolBar() {
    auto* const bar = new QToolBar;
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [&](const QString& text, QKeySequence keys, auto slot) {
        QAction* const action = bar->addAction(text);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(tr("First"), QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { SetCurrentPage(1); });
    add(tr("Previous"), QKeySequence(Qt::Key_PageUp), [this] { step(-1); });
    m_page = new QSpinBox;
    m_page->setRange(1, m_pageCount);
    m_page->setAccessibleName(tr("Page"));
    connect(m_page, &QSpinBox::valueChanged, this, &PrintPreviewDialog::SetCurrentPage);
    bar->addWidget(m_page);
    bar->addWidget(new QLabel(tr(" of %L1 ").arg(m_pageCount)));
    add(tr("Next"), QKeySequence(Qt::Key_PageDown), [this] { step(1); });
    add(tr("Last"), QKeySequence(Qt::CTRL | Qt::Key_End), [this] { SetCurrentPage(m_pageCount); });
    bar->addSeparator();

    auto* const sides = new QActionGroup(this);
    m_single = add(tr("One Page"), {}, [this] { SetPagesSideBySide(1); });
    m_single->setObjectName(QStringLiteral("singleModeAction"));
    m_facing = add(tr("Two Pages"), {}, [this] { SetPagesSideBySide(2); });
    m_facing->setObjectName(QStringLiteral("facingModeAction"));
    for (QAction* const action : {m_single, m_facing}) {
        action->setCheckable(true);
        sides->addAction(action);
    }
    bar->addSeparator();

    add(tr("Fit Page"), {}, [this] {
        m_zoom = Zoom::FitPage;
        updateZoom();
    });
    add(tr("Fit Width"), {}, [this] {
        m_zoom = Zoom::FitWidth;
        updateZoom();
    });
    add(tr("Zoom Out"), QKeySequence::ZoomOut, [this] { zoomBy(1 / kZoomStep); });
    add(tr("Zoom In"), QKeySequence::ZoomIn, [this] { zoomBy(kZoomStep); });
    m_zoomLabel = new QLabel;
    bar->addWidget(m_zoomLabel);
    bar->addSeparator();

    add(tr("Print..."), QKeySequence::Print, [this] { done(PrintChosen); })
        ->setObjectName(QStringLiteral("printAction"));
    add(tr("Close"), {}, [this] { reject(); });
    return bar;
}

int PrintPreviewDialog::CurrentPage() const {
    return m_canvas->FirstPage();
}

void PrintPreviewDialog::SetCurrentPage(int page) {
    page = std::clamp(page, 1, std::max(1, m_pageCount));
    // Two pages side by side pair the first with the second, the third with the fourth...
    if (PagesSideBySide() == 2) page -= (page - 1) % 2;
    if (page != m_canvas->FirstPage()) {
        m_canvas->Show(page, PagesSideBySide(), m_canvas->Scale());
        m_scroll->verticalScrollBar()->setValue(0);
    }
    updateNavigation();
}

int PrintPreviewDialog::PagesSideBySide() const {
    return m_canvas->SideBySide();
}

void PrintPreviewDialog::SetPagesSideBySide(int pages) {
    pages = pages == 2 ? 2 : 1;
    (pages == 2 ? m_facing : m_single)->setChecked(true);
    if (pages == PagesSideBySide()) return;
    m_canvas->Show(m_canvas->FirstPage(), pages, m_canvas->Scale());
    SetCurrentPage(m_canvas->FirstPage());
    updateZoom();
}

void PrintPreviewDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    updateZoom();
}

void PrintPreviewDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    updateZoom();
}

void PrintPreviewDialog::updateZoom() {
    const QSize paper = m_canvas->Paper();
    const int sides = PagesSideBySide();
    const QSize room = m_scroll->maximumViewportSize();
    const int width = room.width() - (sides + 1) * kMargin;
    double scale = m_chosenScale;
    if (m_zoom == Zoom::FitPage) {
        scale = std::min(double(width) / (sides * paper.width()),
                         double(room.height() - 2 * kMargin) / paper.height());
    } else if (m_zoom == Zoom::FitWidth) {
        // The page runs below the window, so a vertical scroll bar takes some of its width.
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
        scale = double(width - bar) / (sides * paper.width());
    }
    // The page's real size on this screen.
    const double realSize = double(logicalDpiX()) / m_printerDpi;
    if (m_zoom == Zoom::Chosen) {
        scale = std::clamp(scale, kSmallestZoom * realSize, kLargestZoom * realSize);
    }
    // A window too small for a page still shows one, a hundredth of its size.
    scale = std::max(scale, kSmallestZoom * realSize / 10);
    m_canvas->Show(m_canvas->FirstPage(), sides, scale);
    m_zoomLabel->setText(tr(" %1% ").arg(std::lround(100 * scale / realSize)));
}

void PrintPreviewDialog::zoomBy(double factor) {
    m_zoom = Zoom::Chosen;
    m_chosenScale = m_canvas->Scale() * factor;
    updateZoom();
}

void PrintPreviewDialog::step(int pages) {
    SetCurrentPage(CurrentPage() + pages * PagesSideBySide());
}

void PrintPreviewDialog::updateNavigation() {
    const QSignalBlocker quiet(m_page);
    m_page->setValue(CurrentPage());
}
