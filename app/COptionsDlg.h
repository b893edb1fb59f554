#pragma once

// The "Options" dialog: whether the amortization table is shown and the two background
// colours. It works on a copy; the caller takes Settings() back only on OK, so colours
// picked before "Cancel" are forgotten.

#include "app/DisplaySettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

class COptionsDlg : public QDialog {
    Q_OBJECT

public:
    explicit COptionsDlg(const DisplaySettings& settings, QWidget* parent = nullptr);

    DisplaySettings Settings() const;

    QCheckBox* m_chkShowTable;
    QLabel* m_stWinBack;
    QLabel* m_stTableBack;
    QPushButton* m_btnWinBack;
    QPushButton* m_btnTableBack;

private:
    void OnChangeWinBack();
    void OnChangeTableBack();
    // Opens the colour chooser on `color`; keeps it when the chooser is cancelled.
    void ChooseColor(std::uint32_t& color, const QString& title);
    void ShowSwatches();

    DisplaySettings m_settings;
};
