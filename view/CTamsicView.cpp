#include "view/CTamsicView.h"

#include "engine/Schedule.h"
#include "output/LoanSummary.h"
#include "output/PresenterTexts.h"
#include "view/DisplaySettings.h"
#include "view/LoanDocument.h"
#include "view/LoanParamsCommands.h"
#include "view/ScheduleAccessible.h"
#include "view/ScheduleTexts.h"
#include "view/YearTabStrip.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>

namespace {

constexpr int kParametersDelayMs = 100;
// Two totals lines follow the rows when one year is listed.
constexpr int kTotalsLines = 2;
constexpr int kSummaryRightX = 330;
constexpr int kSummaryTop = 10;

const QColor kFrameColor(191, 191, 191);
const QColor kGridColor(239, 239, 239);

// The backgrounds are the display options' colours, not the desktop's: text is black on a
// light one and white on a dark one, whatever the palette.
QColor InkOn(const QColor& background) {
    return qGray(background.rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

// Index of the first line of height `step` starting at `origin` that reaches `y`.
int LineAt(int y, int origin, int step) {
    return y < origin ? -1 : (y - origin) / step;
}

}  // namespace

CTamsicView::CTamsicView(LoanDocument& document, const DisplaySettings& settings, HelpRequest help,
                         QWidget* parent)
    : QAbstractScrollArea(parent),
      m_document(document),
      m_settings(settings),
      m_help(std::move(help)),
      m_selectedYear(brellow::kAllYears) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_document, &LoanDocument::termsChanged, this, &CTamsicView::OnTermsChanged);
    InstallScheduleAccessibility();
}

CTamsicView::~CTamsicView() = default;

void CTamsicView::OnInitialUpdate() {
    m_document.computePayment();
    UpdateLayout();
}

CTamsicView::LayoutKey CTamsicView::CurrentLayoutKey() const {
    const brellow::CTamsicDoc& doc = m_document.doc();
    LayoutKey key;
    key.showTable = m_settings.showTable;
    key.length = doc.GetScheduleLength();
    key.hasTabs = HasYearTabs(doc);
    if (key.hasTabs) {
        const brellow::YearSpan span = brellow::ScheduleYears(doc);
        key.firstYear = span.first;
        key.lastYear = span.last;
    }
    return key;
}

void CTamsicView::UpdateLayout() {
    m_layoutKey = CurrentLayoutKey();
    if (!m_layoutKey.showTable) {
        DestroyYearTabs();
        m_nTableTop = m_nTableBottom = m_nTabTop;
    } else if (m_layoutKey.hasTabs) {
        const int years = m_layoutKey.lastYear - m_layoutKey.firstYear + 1;
        m_nTableTop = m_nTabTop + m_nTabRowHeight * (years / m_nTabsPerRow + 1);
        RebuildYearTabs(m_layoutKey.firstYear, years);
    } else {
        DestroyYearTabs();
        m_nTableTop = m_nTabTop;
    }
    UpdateTableBottom();
    SetScrollSizes();
    viewport()->update();
    emit listingChanged();
}

void CTamsicView::OnTermsChanged() {
    if (CurrentLayoutKey() != m_layoutKey) {
        UpdateLayout();
        return;
    }
    // Same length and years, but the rows may have moved between years.
    UpdateTableBottom();
    SetScrollSizes();
    viewport()->update();
    emit listingChanged();
}

void CTamsicView::RebuildYearTabs(int firstYear, int years) {
    const bool reusable =
        m_tabYears && m_tabYears->firstYear() == firstYear && m_tabYears->years() == years;
    if (!reusable) {
        DestroyYearTabs();
        m_tabYears = new YearTabStrip(firstYear, years, viewport());
        m_tabYears->installEventFilter(this);
        connect(m_tabYears, &YearTabStrip::currentChanged, this, &CTamsicView::OnTabSelChange);
    }
    // Placed before the selection: a strip still at its first width would scroll the
    // selected year to its left edge, and "All" out of sight.
    PlaceYearTabs();
    const bool keep = m_selectedYear != brellow::kAllYears && m_selectedYear >= firstYear &&
                      m_selectedYear < firstYear + years;
    if (!keep) m_selectedYear = brellow::kAllYears;
    {
        const QSignalBlocker blocker(m_tabYears);
        m_tabYears->setCurrentIndex(keep ? m_selectedYear - firstYear + 1 : 0);
    }
    m_tabYears->show();
}

void CTamsicView::DestroyYearTabs() {
    delete m_tabYears;
    m_tabYears = nullptr;
}

void CTamsicView::PlaceYearTabs() {
    if (!m_tabYears) return;
    const QPoint offset = ScrollPosition();
    const int height = std::min(m_tabYears->sizeHint().height(), m_nTableTop - m_nTabTop);
    m_tabYears->setGeometry(m_nTableLeft - offset.x(), m_nTabTop - offset.y(),
                            m_nTableRight - m_nTableLeft, height);
}

void CTamsicView::OnTabSelChange(int index) {
    m_selectedYear = SelectedYear(m_document.doc(), index);
    UpdateTableBottom();
    SetScrollSizes();
    viewport()->update();
    emit listingChanged();
}

void CTamsicView::SelectTab(int index) {
    if (m_tabYears) m_tabYears->setCurrentIndex(index);
}

bool CTamsicView::IsTableShown() const noexcept {
    return m_settings.showTable;
}

int CTamsicView::GetSelectedYear() const {
    if (!m_settings.showTable || !m_tabYears) return brellow::kAllYears;
    return SelectedYear(m_document.doc(), m_tabYears->currentIndex());
}

void CTamsicView::UpdateTableBottom() {
    if (!m_layoutKey.showTable) {
        m_nTableBottom = m_nTableTop;
        m_tableRows = m_listedRows = 0;
        ClampCurrentCell();
        return;
    }
    const brellow::ScheduleGenerator listing(m_document.doc(), GetSelectedYear(),
                                             &m_document.checkpoints());
    // No rows still leaves the heads and the totals: never a negative height.
    m_listedRows = std::max(listing.ListedRows(), 0);
    m_tableRows = m_listedRows + (listing.HasAnnualTotals() ? kTotalsLines : 1);
    const long long lines = m_tableRows + 1;
    const long long bottom = m_nTableTop + static_cast<long long>(m_nRowHeight) * lines + 2;
    m_nTableBottom = static_cast<int>(std::min<long long>(bottom, std::numeric_limits<int>::max()));
    ClampCurrentCell();
}

void CTamsicView::ClampCurrentCell() {
    m_currentRow = std::clamp(m_currentRow, 0, std::max(m_tableRows - 1, 0));
}

void CTamsicView::SetCurrentCell(int row, int column) {
    if (m_tableRows == 0) return;
    row = std::clamp(row, 0, m_tableRows - 1);
    column = std::clamp(column, 0, static_cast<int>(brellow::kColumnHeads.size()) - 1);
    const bool moved = row != m_currentRow || column != m_currentColumn;
    m_currentRow = row;
    m_currentColumn = column;
    // Into sight, the heads' line above it included where the view is tall enough.
    const QRect cell = CurrentCellRect();
    const QSize page = viewport()->size();
    QPoint position = ScrollPosition();
    if (cell.bottom() >= position.y() + page.height())
        position.ry() = cell.bottom() + 1 - page.height();
    if (cell.top() < position.y()) position.ry() = cell.top();
    if (cell.right() >= position.x() + page.width())
        position.rx() = cell.right() + 1 - page.width();
    if (cell.left() < position.x()) position.rx() = cell.left();
    ScrollTo(position);
    if (!moved) return;
    viewport()->update();
    emit currentCellChanged();
}

QRect CTamsicView::CurrentCellRect() const {
    QRect cell = CellRect(m_currentRow + 1, m_currentColumn);
    if (m_currentRow >= m_listedRows && m_currentColumn < 2) {
        cell.setLeft(m_nTableLeft);
        cell.setWidth(m_nColumnWidth);
    }
    return cell;
}

QSize CTamsicView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return {m_nTableRight + frame + verticalScrollBar()->sizeHint().width(),
            std::min(m_nTableBottom, QWIDGETSIZE_MAX) + frame};
}

QPoint CTamsicView::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CTamsicView::ScrollTo(const QPoint& position) {
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
}

void CTamsicView::SetScrollSizes() {
    const QSize page = viewport()->size();
    QScrollBar* const horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, m_nTableRight - page.width()));
    horizontal->setPageStep(page.width());
    horizontal->setSingleStep(m_nRowHeight);
    QScrollBar* const vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, m_nTableBottom - page.height()));
    vertical->setPageStep(page.height());
    vertical->setSingleStep(m_nRowHeight);
    PlaceYearTabs();
}

void CTamsicView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    SetScrollSizes();
}

void CTamsicView::scrollContentsBy(int, int) {
    PlaceYearTabs();
    viewport()->update();
}

void CTamsicView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint offset = ScrollPosition();
    painter.translate(-offset);
    OnDraw(painter, event->rect().translated(offset));
}

void CTamsicView::OnDraw(QPainter& painter, const QRect& exposed) {
    // Cells are formatted whole; their text must not spill past the exposed edges.
    painter.setClipRect(exposed, Qt::IntersectClip);
    const QColor winBack = m_settings.WinBack();
    const QRect client(ScrollPosition(), viewport()->size());
    const QRect document(0, 0, m_nTableRight, m_nTableBottom);
    // Huge rectangles are cut to the exposed part before they reach the painter.
    painter.fillRect(document.united(client) & exposed, winBack);

    painter.setFont(font());
    painter.setPen(InkOn(winBack));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(winBack);
    for (const brellow::SummaryLine& line : brellow::LoanSummary(m_document.doc())) {
        const QRect box = SummaryLineRect(line);
        if (!box.intersects(exposed)) continue;
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         Latin1Text(line.text));
    }
    if (!m_settings.showTable) return;

    const int year = GetSelectedYear();
    const QRect table = TableRect();
    if (!table.intersects(exposed)) return;
    const QRect edges[] = {
        QRect(table.left(), table.top(), table.width(), 1),
        QRect(table.left(), table.bottom(), table.width(), 1),
        QRect(table.left(), table.top(), 1, table.height()),
        QRect(table.right(), table.top(), 1, table.height()),
    };
    for (const QRect& edge : edges) painter.fillRect(edge & exposed, kFrameColor);
    painter.fillRect(table.adjusted(1, 1, -1, -1) & exposed, m_settings.TableBack());

    DrawGrid(painter, table, exposed);
    painter.setBackground(m_settings.TableBack());
    painter.setPen(InkOn(m_settings.TableBack()));
    DrawTable(painter, table, year, exposed);
    if (hasFocus() && m_tableRows > 0) {
        // A frame of its own: the style's focus frame shows only after a Tab.
        painter.save();
        painter.setPen(QPen(palette().color(QPalette::Highlight), 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(CurrentCellRect().adjusted(0, 0, -1, -1));
        painter.restore();
    }
}

void CTamsicView::DrawGrid(QPainter& painter, const QRect& table, const QRect& exposed) {
    painter.save();
    painter.setPen(QPen(kGridColor, 0));
    const int top = std::max(table.top() + 1, exposed.top());
    const int bottom = std::min(m_nTableBottom - 2, exposed.bottom());
    const int firstLine = table.top() + m_nRowHeight;
    int y = firstLine;
    if (exposed.top() > firstLine) y += (exposed.top() - firstLine) / m_nRowHeight * m_nRowHeight;
    for (; y < m_nTableBottom && y <= exposed.bottom(); y += m_nRowHeight) {
        painter.drawLine(table.left() + 1, y, m_nTableRight - 2, y);
    }
    if (top <= bottom) {
        for (int x = table.left() + m_nColumnWidth; x < m_nTableRight; x += m_nColumnWidth) {
            painter.drawLine(x, top, x, bottom);
        }
    }
    painter.restore();
}

QRect CTamsicView::SummaryLineRect(const brellow::SummaryLine& line) const {
    const int x = line.column == 0 ? m_nTableLeft : kSummaryRightX;
    return {x, kSummaryTop + m_nRowHeight * line.row, m_nTableRight, m_nRowHeight};
}

QRect CTamsicView::TableRect() const {
    return {QPoint(m_nTableLeft, m_nTableTop), QPoint(m_nTableRight - 1, m_nTableBottom - 1)};
}

QRect CTamsicView::CellRect(int line, int column) const {
    const long long y = m_nTableTop + 2 + static_cast<long long>(m_nRowHeight) * line;
    return CellBox(m_nTableLeft,
                   static_cast<int>(std::min<long long>(y, std::numeric_limits<int>::max())),
                   column - 1);
}

QRect CTamsicView::CellBox(int left, int y, int column) const {
    const int third = m_nColumnWidth / 3;
    int from = left + m_nColumnWidth * column;
    int to = from + m_nColumnWidth;
    if (column == -1) {
        from = left;
        to = left + third;
    } else if (column == 0) {
        from = left + third;
    }
    return {from, y, to - from, m_nRowHeight};
}

void CTamsicView::DrawCell(QPainter& painter, int left, int y, int column, const QString& text) {
    painter.drawText(CellBox(left, y, column), Qt::AlignRight | Qt::AlignTop, text);
}

void CTamsicView::DrawTable(QPainter& painter, const QRect& table, int year, const QRect& exposed) {
    const int left = table.left();
    const auto lineExposed = [&](int y) {
        return y <= exposed.bottom() && y + m_nRowHeight > exposed.top();
    };

    int y = table.top() + 2;
    if (lineExposed(y)) {
        for (int column = -1; column <= 4; ++column) {
            DrawCell(painter, left, y, column, Latin1Text(brellow::kColumnHeads[column + 1]));
        }
    }
    y += m_nRowHeight;

    brellow::ScheduleGenerator generator(m_document.doc(), year, &m_document.checkpoints());
    const int firstRowY = y;
    const int listed = generator.ListedRows();
    const long long totalsY = firstRowY + static_cast<long long>(m_nRowHeight) * listed;
    const bool totalsExposed =
        totalsY <= exposed.bottom() && totalsY + kTotalsLines * m_nRowHeight > exposed.top();
    const int firstVisible = std::max(0, LineAt(exposed.top(), firstRowY, m_nRowHeight));
    const int lastVisible = LineAt(exposed.bottom(), firstRowY, m_nRowHeight);

    // The walk starts at the first row on screen; the totals need the rows after the
    // last one, which are then few.
    generator.SkipListed(firstVisible);
    brellow::ScheduleRow row;
    for (int index = firstVisible; index <= lastVisible || totalsExposed; ++index) {
        if (!generator.Next(row)) break;
        if (index > lastVisible) continue;
        const int rowY = firstRowY + m_nRowHeight * index;
        const ScheduleLineTexts texts = RowTexts(row);
        for (int column = 0; column < static_cast<int>(texts.size()); ++column) {
            DrawCell(painter, left, rowY, column - 1, texts[column]);
        }
    }
    if (!totalsExposed) return;

    y = static_cast<int>(totalsY);
    const auto drawTotals = [&](std::string_view label, const brellow::AmountTotals& sums) {
        const ScheduleLineTexts texts = TotalsTexts(label, sums);
        // The label stands right-aligned across the period and date columns.
        painter.drawText(QRect(left, y, m_nColumnWidth, m_nRowHeight),
                         Qt::AlignRight | Qt::AlignTop, texts[0]);
        for (int column = 2; column <= 4; ++column) {
            DrawCell(painter, left, y, column - 1, texts[column]);
        }
        y += m_nRowHeight;
    };
    if (generator.HasAnnualTotals()) {
        drawTotals(brellow::kAnnualTotalsLabel, generator.Totals().annual);
    }
    drawTotals(brellow::kRunningTotalsLabel, generator.Totals().running);
}

void CTamsicView::OnChangeLoanParameters() {
    ChangeLoanParameters(m_document, this, m_help);
}
void CTamsicView::OnEditUndo() {
    UndoLoanParameters(m_document);
}
void CTamsicView::OnEditRedo() {
    RedoLoanParameters(m_document);
}

void CTamsicView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    m_timer.start(kParametersDelayMs, this);
}

void CTamsicView::hideEvent(QHideEvent* event) {
    QAbstractScrollArea::hideEvent(event);
    m_timer.start(kParametersDelayMs, this);
}

void CTamsicView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId()) {
        OnTimer();
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void CTamsicView::OnTimer() {
    m_timer.stop();
    brellow::CTamsicDoc& doc = m_document.doc();
    if (!doc.m_bParametersPending) return;
    // Cleared first: a show or hide while the dialog is open must not open a second one.
    doc.m_bParametersPending = false;
    OnChangeLoanParameters();
}

void CTamsicView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ControlModifier) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const bool moved = MoveCurrentCell(*event);
    // Home and End, with or without Ctrl, go to the top and the bottom of the document,
    // with the first or last row current.
    if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
        verticalScrollBar()->triggerAction(event->key() == Qt::Key_Home
                                               ? QAbstractSlider::SliderToMinimum
                                               : QAbstractSlider::SliderToMaximum);
        return;
    }
    if (!moved) QAbstractScrollArea::keyPressEvent(event);
}

bool CTamsicView::MoveCurrentCell(const QKeyEvent& event) {
    if (m_tableRows == 0) return false;
    // A page of rows is what the window shows below the heads' line.
    const int page = std::max(1, viewport()->height() / m_nRowHeight - 1);
    int row = m_currentRow;
    int column = m_currentColumn;
    switch (event.key()) {
        case Qt::Key_Up:
            --row;
            break;
        case Qt::Key_Down:
            ++row;
            break;
        case Qt::Key_Left:
            --column;
            break;
        case Qt::Key_Right:
            ++column;
            break;
        case Qt::Key_PageUp:
            row -= page;
            break;
        case Qt::Key_PageDown:
            row += page;
            break;
        case Qt::Key_Home:
            row = 0;
            break;
        case Qt::Key_End:
            row = m_tableRows - 1;
            break;
        default:
            return false;
    }
    SetCurrentCell(row, column);
    return true;
}

void CTamsicView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    emit currentCellChanged();
}

void CTamsicView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

bool CTamsicView::eventFilter(QObject* watched, QEvent* event) {
    // The wheel scrolls the view, not the year tabs under the pointer.
    if (watched == m_tabYears && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
