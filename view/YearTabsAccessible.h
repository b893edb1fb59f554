#pragma once

// The year strip as assistive technology sees it: a page tab list with one page tab per
// tab, "All" first, named as painted, the selected one marked, each selectable with its
// press action. The strip lives in the schedule view's viewport, but is read as a child
// of the view itself, beside the summary and the table.

#include "view/AccessibleItem.h"

#include <QAccessibleWidget>

class YearTabStrip;

class YearTabsAccessible : public QAccessibleWidget {
public:
    explicit YearTabsAccessible(YearTabStrip* strip);

    QAccessibleInterface* parent() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    YearTabStrip& Strip() const;

private:
    mutable AccessibleItems m_tabs;
};
