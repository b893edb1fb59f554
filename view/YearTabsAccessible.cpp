#include "view/YearTabsAccessible.h"

#include "view/YearTabStrip.h"

#include <QAbstractScrollArea>

namespace {

class YearTabAccessible : public AccessibleItem, public QAccessibleActionInterface {
public:
    YearTabAccessible(YearTabsAccessible* tabs, int index) : AccessibleItem(tabs), m_index(index) {}

    int Index() const noexcept { return m_index; }

    bool isValid() const override { return m_owner->isValid() && m_index < Strip().count(); }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Name && isValid() ? Strip().tabText(m_index) : QString();
    }
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect tab = Strip().tabRect(m_index);
        return {Strip().mapToGlobal(tab.topLeft()), tab.size()};
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) return state;
        const YearTabStrip& strip = Strip();
        const bool current = m_index == strip.currentIndex();
        state.selectable = true;
        state.focusable = true;
        state.selected = current;
        state.focused = current && strip.hasFocus();
        // Scrolled out of the strip, or with the strip out of sight.
        state.offscreen = !strip.isVisible() || !strip.rect().intersects(strip.tabRect(m_index));
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) Strip().setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    YearTabStrip& Strip() const { return static_cast<YearTabsAccessible*>(m_owner)->Strip(); }

    int m_index;
};

}  // namespace

YearTabsAccessible::YearTabsAccessible(YearTabStrip* strip)
    : QAccessibleWidget(strip, QAccessible::PageTabList) {}

YearTabStrip& YearTabsAccessible::Strip() const {
    return *static_cast<YearTabStrip*>(widget());
}

QAccessibleInterface* YearTabsAccessible::parent() const {
    QWidget* const host = widget()->parentWidget();
    auto* const area = host ? qobject_cast<QAbstractScrollArea*>(host->parentWidget()) : nullptr;
    if (area && area->viewport() == host) return QAccessible::queryAccessibleInterface(area);
    return QAccessibleWidget::parent();
}

int YearTabsAccessible::childCount() const {
    return isValid() ? Strip().count() : 0;
}

QAccessibleInterface* YearTabsAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    auto* const self = const_cast<YearTabsAccessible*>(this);
    return m_tabs.Get(index, [&] { return new YearTabAccessible(self, index); });
}

int YearTabsAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* const tab = dynamic_cast<const YearTabAccessible*>(child);
    return tab && tab->parent() == this ? tab->Index() : -1;
}

QAccessibleInterface* YearTabsAccessible::childAt(int x, int y) const {
    if (!isValid()) return nullptr;
    return child(Strip().tabAt(Strip().mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* YearTabsAccessible::focusChild() const {
    return isValid() && Strip().hasFocus() ? child(Strip().currentIndex()) : nullptr;
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
void* YearTabsAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::SelectionInterface) {
        return static_cast<QAccessibleSelectionInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QList<QAccessibleInterface*> YearTabsAccessible::selectedItems() const {
    if (!isValid()) return {};
    return {child(Strip().currentIndex())};
}

bool YearTabsAccessible::select(QAccessibleInterface* childItem) {
    const int index = indexOfChild(childItem);
    if (index < 0) return false;
    Strip().setCurrentIndex(index);
    return true;
}
#endif
