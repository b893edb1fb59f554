#include "tools/CRefinanceResultDlg.h"

#include "tools/DialogUnits.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CRefinanceResultDlg::CRefinanceResultDlg(QWidget* parent)
    : QDialog(parent), m_stAdvice(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Refinance Advisor Says:"));
    m_stAdvice->setTextFormat(Qt::PlainText);
    m_stAdvice->setWordWrap(true);
    m_stAdvice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The label's size in dialog units; a long balance wraps to more lines below.
    const QSize labelSize = DialogUnitsToPixels(QRect(0, 0, 144, 83)).size();
    m_stAdvice->setFixedWidth(labelSize.width());
    m_stAdvice->setMinimumHeight(labelSize.height());
    m_stAdvice->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CRefinanceResultDlg::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_stAdvice);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CRefinanceResultDlg::SetText(const QString& text) {
    m_stAdvice->setText(text);
}

QString CRefinanceResultDlg::Text() const {
    return m_stAdvice->text();
}
