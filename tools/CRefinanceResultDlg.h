#pragma once

// "Refinance Advisor Says:": the advice text, word-wrapped, above an "OK" button.

#include <QDialog>
#include <QString>

class QLabel;

class CRefinanceResultDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRefinanceResultDlg(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const;

private:
    QLabel* m_stAdvice;
};
