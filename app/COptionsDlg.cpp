#include "app/COptionsDlg.h"

#include "app/HelpWindow.h"
#include "view/LabelledField.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The swatch is the label's own background, sized to its text.
QLabel* MakeSwatch(const QString& text) {
    auto* const label = new QLabel(text);
    label->setAutoFillBackground(true);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}

void Paint(QLabel* label, std::uint32_t color) {
    const QColor shown = ColorFromBgr(color);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, shown);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    if (QWidget* const button = label->buddy()) {
        button->setAccessibleDescription(QStringLiteral("Now red %1, green %2, blue %3")
                                             .arg(shown.red())
                                             .arg(shown.green())
                                             .arg(shown.blue()));
    }
}

}  // namespace

COptionsDlg::COptionsDlg(const DisplaySettings& settings, QWidget* parent)
    : QDialog(parent),
      m_chkShowTable(new QCheckBox(QStringLiteral("&Show amortization schedule"))),
      m_stWinBack(MakeSwatch(QStringLiteral("&Window Background"))),
      m_stTableBack(MakeSwatch(QStringLiteral("&Table Background"))),
      m_btnWinBack(new QPushButton(QStringLiteral("Change..."))),
      m_btnTableBack(new QPushButton(QStringLiteral("Change..."))),
      m_settings(settings) {
    setWindowTitle(QStringLiteral("Options"));
    m_chkShowTable->setChecked(settings.showTable);
    // Each "Change..." is named by its colour's label; its description says the colour.
    LabelField(m_stWinBack, m_btnWinBack);
    LabelField(m_stTableBack, m_btnTableBack);
    m_btnWinBack->setAccessibleName(QStringLiteral("Change Window Background..."));
    m_btnTableBack->setAccessibleName(QStringLiteral("Change Table Background..."));

    auto* const display = new QGroupBox(QStringLiteral("Display:"));
    auto* const displayLayout = new QVBoxLayout(display);
    displayLayout->addWidget(m_chkShowTable);

    auto* const colors = new QGroupBox(QStringLiteral("Colors:"));
    auto* const colorLayout = new QGridLayout(colors);
    colorLayout->addWidget(m_stWinBack, 0, 0, Qt::AlignLeft);
    colorLayout->addWidget(m_btnWinBack, 0, 1);
    colorLayout->addWidget(m_stTableBack, 1, 0, Qt::AlignLeft);
    colorLayout->addWidget(m_btnTableBack, 1, 1);
    colorLayout->setColumnStretch(0, 1);

    auto* const buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                               QDialogButtonBox::Help);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { ShowHelp(this, QStringLiteral("options")); });
    connect(m_btnWinBack, &QPushButton::clicked, this, &COptionsDlg::OnChangeWinBack);
    connect(m_btnTableBack, &QPushButton::clicked, this, &COptionsDlg::OnChangeTableBack);

    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(display);
    layout->addWidget(colors);
    layout->addWidget(buttons);
    ShowSwatches();
}

DisplaySettings COptionsDlg::Settings() const {
    DisplaySettings settings = m_settings;
    settings.showTable = m_chkShowTable->isChecked();
    return settings;
}

void COptionsDlg::OnChangeWinBack() {
    ChooseColor(m_settings.colorWinBack, QStringLiteral("Window Background"));
}

void COptionsDlg::OnChangeTableBack() {
    ChooseColor(m_settings.colorTableBack, QStringLiteral("Table Background"));
}

void COptionsDlg::ChooseColor(std::uint32_t& color, const QString& title) {
    const QColor chosen = QColorDialog::getColor(ColorFromBgr(color), this, title);
    if (!chosen.isValid()) return;
    color = BgrFromColor(chosen);
    ShowSwatches();
}

void COptionsDlg::ShowSwatches() {
    Paint(m_stWinBack, m_settings.colorWinBack);
    Paint(m_stTableBack, m_settings.colorTableBack);
}
