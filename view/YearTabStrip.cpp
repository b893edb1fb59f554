#include "view/YearTabStrip.h"

#include "engine/CTamsicDoc.h"
#include "engine/PaymentCalendar.h"
#include "engine/Schedule.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStyleOptionTabBarBase>
#include <QToolButton>

#include <algorithm>

namespace {

QStyleOptionTab TabOption(const QWidget& strip, const QString& text) {
    QStyleOptionTab option;
    option.initFrom(&strip);
    option.shape = QTabBar::RoundedNorth;
    option.text = text;
    return option;
}

}  // namespace

YearTabStrip::YearTabStrip(int firstYear, int years, QWidget* parent)
    : QWidget(parent),
      m_firstYear(firstYear),
      m_years(std::max(years, 0)),
      m_left(new QToolButton(this)),
      m_right(new QToolButton(this)) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Years"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    for (QToolButton* button : {m_left, m_right}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    m_left->setArrowType(Qt::LeftArrow);
    m_right->setArrowType(Qt::RightArrow);
    connect(m_left, &QToolButton::clicked, this, [this] { ScrollTo(m_offset - m_yearWidth); });
    connect(m_right, &QToolButton::clicked, this, [this] { ScrollTo(m_offset + m_yearWidth); });
    Measure();
}

QString YearTabStrip::tabText(int index) const {
    if (index == 0) return QStringLiteral("All");
    if (index < 0 || index > m_years) return {};
    return QString::number(m_firstYear + index - 1);
}

void YearTabStrip::Measure() {
    // As a tab bar measures its tabs: the text plus the style's spacing.
    const int hSpace = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, this);
    const int vSpace = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, nullptr, this);
    const auto tabSize = [&](const QString& text) {
        QStyleOptionTab option = TabOption(*this, text);
        const QSize content(fontMetrics().horizontalAdvance(text) + hSpace,
                            fontMetrics().height() + vSpace);
        return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, content, this);
    };
    const QSize all = tabSize(tabText(0));
    m_allWidth = all.width();
    m_tabHeight = all.height();
    // Digits may differ in width: take the widest year the strip can show.
    const QString last = QString::number(m_firstYear + std::max(m_years, 1) - 1);
    const QString widest(last.size(), QLatin1Char('8'));
    int yearText = 0;
    for (const QString& text : {tabText(1), last, widest}) {
        yearText = std::max(yearText, tabSize(text).width());
    }
    m_yearWidth = yearText;
    UpdateButtons();
    updateGeometry();
}

int YearTabStrip::TabLeft(int index) const {
    return index <= 0 ? 0 : m_allWidth + (index - 1) * m_yearWidth;
}

int YearTabStrip::TabWidth(int index) const {
    return index == 0 ? m_allWidth : m_yearWidth;
}

int YearTabStrip::TotalWidth() const {
    return TabLeft(count());
}

bool YearTabStrip::isScrollable() const {
    return TotalWidth() > width();
}

int YearTabStrip::VisibleWidth() const {
    return isScrollable() ? std::max(0, width() - 2 * m_tabHeight) : width();
}

QSize YearTabStrip::sizeHint() const {
    return {TotalWidth(), m_tabHeight};
}

QRect YearTabStrip::tabRect(int index) const {
    if (index < 0 || index >= count()) return {};
    return {TabLeft(index) - m_offset, 0, TabWidth(index), m_tabHeight};
}

int YearTabStrip::tabAt(const QPoint& position) const {
    if (position.y() < 0 || position.y() >= m_tabHeight) return -1;
    if (position.x() < 0 || position.x() >= VisibleWidth()) return -1;
    const int x = position.x() + m_offset;
    if (x < m_allWidth) return 0;
    const int index = 1 + (x - m_allWidth) / m_yearWidth;
    return index < count() ? index : -1;
}

void YearTabStrip::setCurrentIndex(int index) {
    index = std::clamp(index, 0, count() - 1);
    MakeVisible(index);
    if (index == m_current) return;
    m_current = index;
    update();
    NotifyAccessibleSelection();
    emit currentChanged(index);
}

void YearTabStrip::NotifyAccessibleFocus() {
    if (!QAccessible::isActive() || !hasFocus()) return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(m_current);
    QAccessible::updateAccessibility(&focus);
}

void YearTabStrip::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // The selected tab has the focus, told after Qt has told of the strip's own.
    QMetaObject::invokeMethod(this, &YearTabStrip::NotifyAccessibleFocus, Qt::QueuedConnection);
}

void YearTabStrip::NotifyAccessibleSelection() {
    // As a tab bar tells it: the selected tab, and the focus with it when the strip has it.
    if (!QAccessible::isActive()) return;
    NotifyAccessibleFocus();
    QAccessibleEvent selection(this, QAccessible::Selection);
    selection.setChild(m_current);
    QAccessible::updateAccessibility(&selection);
}

void YearTabStrip::ScrollTo(int offset) {
    const int limit = std::max(0, TotalWidth() - VisibleWidth());
    offset = std::clamp(offset, 0, limit);
    if (offset != m_offset) {
        m_offset = offset;
        update();
    }
    UpdateButtons();
}

void YearTabStrip::MakeVisible(int index) {
    const int left = TabLeft(index);
    const int right = left + TabWidth(index);
    if (left < m_offset) {
        ScrollTo(left);
    } else if (right > m_offset + VisibleWidth()) {
        ScrollTo(right - VisibleWidth());
    }
}

void YearTabStrip::UpdateButtons() {
    const bool scrollable = isScrollable();
    const int size = m_tabHeight;
    m_left->setGeometry(width() - 2 * size, 0, size, size);
    m_right->setGeometry(width() - size, 0, size, size);
    m_left->setVisible(scrollable);
    m_right->setVisible(scrollable);
    m_left->setEnabled(m_offset > 0);
    m_right->setEnabled(m_offset < TotalWidth() - VisibleWidth());
}

void YearTabStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ScrollTo(m_offset);
    MakeVisible(m_current);
}

void YearTabStrip::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) Measure();
}

void YearTabStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabBarBase base;
    base.initFrom(this);
    base.shape = QTabBar::RoundedNorth;
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    base.rect = QRect(0, m_tabHeight - overlap, width(), overlap);
    base.selectedTabRect = tabRect(m_current);
    style()->drawPrimitive(QStyle::PE_FrameTabBarBase, &base, &painter, this);

    painter.setClipRect(QRect(0, 0, VisibleWidth(), height()));
    const int first = std::max(0, tabAt(QPoint(0, 0)));
    int last = tabAt(QPoint(VisibleWidth() - 1, 0));
    if (last < 0) last = count() - 1;
    const auto drawTab = [&](int index) {
        QStyleOptionTab option = TabOption(*this, tabText(index));
        option.rect = tabRect(index);
        option.position = count() == 1           ? QStyleOptionTab::OnlyOneTab
                          : index == 0           ? QStyleOptionTab::Beginning
                          : index == count() - 1 ? QStyleOptionTab::End
                                                 : QStyleOptionTab::Middle;
        if (index == m_current) {
            option.state |= QStyle::State_Selected;
            if (hasFocus()) option.state |= QStyle::State_HasFocus;
        }
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    };
    for (int index = first; index <= last; ++index) {
        if (index != m_current) drawTab(index);
    }
    // The selected tab overlaps its neighbours.
    if (m_current >= first && m_current <= last) drawTab(m_current);
}

void YearTabStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index >= 0) setCurrentIndex(index);
}

void YearTabStrip::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            setCurrentIndex(m_current - 1);
            break;
        case Qt::Key_Right:
            setCurrentIndex(m_current + 1);
            break;
        case Qt::Key_Home:
            setCurrentIndex(0);
            break;
        case Qt::Key_End:
            setCurrentIndex(count() - 1);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
}

bool HasYearTabs(const brellow::CTamsicDoc& doc) {
    return brellow::ScheduleHasYears(doc);
}

int SelectedYear(const brellow::CTamsicDoc& doc, int tabIndex) {
    if (tabIndex <= 0 || !HasYearTabs(doc)) return brellow::kAllYears;
    const brellow::PaymentCalendar calendar(doc.GetFirstPaymentDate(), doc.GetPaymentFrequency());
    if (!calendar.HasDates()) return brellow::kAllYears;
    return calendar.FirstYear() + tabIndex - 1;
}
