#include "view/LabelledField.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>

namespace {

// A combo box as Qt's own interface presents it (the list, then the edit field of an
// editable one, and a menu to show), but named by its label and valued by its text.
class LabelledComboAccessible : public QAccessibleWidget {
public:
    explicit LabelledComboAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Value ? Combo().currentText() : QAccessibleWidget::text(type);
    }
    int childCount() const override { return Combo().isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(Combo().view());
        if (index == 1 && Combo().isEditable()) {
            return QAccessible::queryAccessibleInterface(Combo().lineEdit());
        }
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == Combo().view()) return 0;
        return Combo().isEditable() && child->object() == Combo().lineEdit() ? 1 : -1;
    }
    QAccessibleInterface* focusChild() const override {
        return Combo().isEditable() ? child(1) : nullptr;
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }
    void doAction(const QString& name) override {
        if (name != showMenuAction() && name != pressAction()) {
            QAccessibleWidget::doAction(name);
        } else if (Combo().view()->isVisible()) {
            Combo().hidePopup();
        } else {
            Combo().showPopup();
        }
    }

private:
    QComboBox& Combo() const { return *static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* LabelledComboFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(LabelledComboBox::staticMetaObject.className())) {
        return new LabelledComboAccessible(static_cast<QComboBox*>(object));
    }
    return nullptr;
}

}  // namespace

LabelledComboBox::LabelledComboBox(QWidget* parent) : QComboBox(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(&LabelledComboFactory);
        return true;
    }();
    (void)installed;
}

void LabelField(QLabel* label, QWidget* field) {
    if (!field) return;
    label->setBuddy(field);
    // The edit field of an editable list has the keyboard while the list has the focus.
    if (auto* const combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit()) {
        combo->lineEdit()->setAccessibleName(label->text().remove(QLatin1Char('&')));
    }
}
