#pragma once

// The year strip as assistive technology sees it: a page tab list named "Years" with one
// page tab per tab, "All" first, named as painted, the selected one marked, each
// selectable with its press action. The strip lives in the schedule view's viewport, but
// is read as a child of the view itself, beside the summary and the table.
//
// Qt 6.5 and later also carry the list's selection interface (the selected tab, and
// selecting one) to AT-SPI; Qt 6.4's bridge has no selection interface, and a reader
// finds the selected tab by its state and hears of a change by the focus and the
// selection events the strip sends.

#include "view/AccessibleItem.h"

#include <QAccessibleWidget>

class YearTabStrip;

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
using TabListSelection = QAccessibleSelectionInterface;
#else
struct TabListSelection {};
#endif

class YearTabsAccessible : public QAccessibleWidget, public TabListSelection {
public:
    explicit YearTabsAccessible(YearTabStrip* strip);

    QAccessibleInterface* parent() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    void* interface_cast(QAccessible::InterfaceType type) override;
    // One tab is always selected: selecting another replaces it, and it cannot be cleared.
    int selectedItemCount() const override {
        return isValid() ? 1 : 0;
    }
    QList<QAccessibleInterface*> selectedItems() const override;
    bool select(QAccessibleInterface* childItem) override;
    bool unselect(QAccessibleInterface*) override {
        return false;
    }
    bool selectAll() override {
        return false;
    }
    bool clear() override {
        return false;
    }
#endif

    YearTabStrip& Strip() const;

private:
    mutable AccessibleItems m_tabs;
};
