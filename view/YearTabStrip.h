#pragma once

// The strip of year tabs above the schedule table: "All", then one tab per calendar
// year from `firstYear`, on one row that scrolls with arrow buttons when it is wider
// than the view.
//
// A weekly loan may span thousands of years, so tabs are not objects: tab i sits at a
// computed position (all year tabs share one width) and only the tabs in sight are
// painted. Building a strip of 7,700 years costs the same as one of 30.

#include <QWidget>

class QToolButton;

namespace brellow {
class CTamsicDoc;
}

class YearTabStrip : public QWidget {
    Q_OBJECT

public:
    YearTabStrip(int firstYear, int years, QWidget* parent = nullptr);

    int count() const noexcept { return m_years + 1; }
    int firstYear() const noexcept { return m_firstYear; }
    int years() const noexcept { return m_years; }
    QString tabText(int index) const;
    int currentIndex() const noexcept { return m_current; }
    // Selects a tab (clamped to the strip) and scrolls it into sight; emits
    // currentChanged when the selection moved.
    void setCurrentIndex(int index);
    // The tab's rectangle in the strip as now scrolled; -1 from tabAt outside any tab.
    QRect tabRect(int index) const;
    int tabAt(const QPoint& position) const;
    bool isScrollable() const;

    QSize sizeHint() const override;

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void Measure();
    int TabLeft(int index) const;
    int TabWidth(int index) const;
    int TotalWidth() const;
    int VisibleWidth() const;
    void ScrollTo(int offset);
    void MakeVisible(int index);
    void UpdateButtons();
    void NotifyAccessibleSelection();
    void NotifyAccessibleFocus();

    int m_firstYear;
    int m_years;
    int m_current = 0;
    int m_offset = 0;  // pixels of the strip scrolled out on the left
    int m_allWidth = 0;
    int m_yearWidth = 0;
    int m_tabHeight = 0;
    QToolButton* m_left;
    QToolButton* m_right;
};

// Whether a loan shows year tabs: paid more often than yearly, with a valid first date.
bool HasYearTabs(const brellow::CTamsicDoc& doc);
// The year a presenter lists for the selected tab: brellow::kAllYears for the "All" tab
// (index 0 or less), for loans without year tabs and for schedules without dates;
// otherwise the first payment's year + tab − 1.
int SelectedYear(const brellow::CTamsicDoc& doc, int tabIndex);
