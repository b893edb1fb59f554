#pragma once

// Accessible parts of a widget that are no widgets of their own: a painted summary line,
// a table cell, a year tab. Their owner makes them when assistive technology first asks
// for them, registers them with the accessibility cache and deletes them with itself, so
// a table of 400,000 rows costs only the cells that were read.

#include <QAccessible>
#include <QHash>

class AccessibleItem : public QAccessibleInterface {
public:
    explicit AccessibleItem(QAccessibleInterface* owner) : m_owner(owner) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_owner->window(); }
    QAccessibleInterface* parent() const override { return m_owner; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    QAccessibleInterface* m_owner;
};

// The text interface of an item whose whole text is read, never edited or selected.
class ReadOnlyAccessibleText : public QAccessibleTextInterface {
public:
    virtual QString WholeText() const = 0;

    QString text(int startOffset, int endOffset) const override {
        return WholeText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(WholeText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }
};

// The items one owner has handed out, by the owner's own key.
class AccessibleItems {
public:
    AccessibleItems() = default;
    AccessibleItems(const AccessibleItems&) = delete;
    AccessibleItems& operator=(const AccessibleItems&) = delete;
    ~AccessibleItems() { Clear(); }

    template <typename Make>
    QAccessibleInterface* Get(int key, Make make) {
        if (const auto found = m_ids.constFind(key); found != m_ids.cend()) {
            if (QAccessibleInterface* const item = QAccessible::accessibleInterface(*found)) {
                return item;
            }
        }
        QAccessibleInterface* const item = make();
        m_ids.insert(key, QAccessible::registerAccessibleInterface(item));
        return item;
    }

    void Clear() {
        for (const QAccessible::Id id : std::as_const(m_ids)) {
            QAccessible::deleteAccessibleInterface(id);
        }
        m_ids.clear();
    }

private:
    QHash<int, QAccessible::Id> m_ids;
};
