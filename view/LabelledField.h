#pragma once

// Ties a dialog's field to its label: the label's Alt+letter (its "&") moves the focus to
// the field, and assistive technology names the field by the label ("Amount of Loan:")
// and relates the two. A list is named by its label as well, which Qt on Linux does not
// do for a QComboBox (it names one by its value, "Monthly"): a list that should be
// named so is a LabelledComboBox.

#include <QComboBox>

class QLabel;

class LabelledComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit LabelledComboBox(QWidget* parent = nullptr);
};

// Does nothing without a field.
void LabelField(QLabel* label, QWidget* field);
