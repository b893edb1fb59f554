#include "app/CAboutDlg.h"

#include "app/AppIcons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Brellow"));
    auto* const icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* const text = new QVBoxLayout;
    text->addWidget(new QLabel(QStringLiteral("Brellow Version 1.0")));
    text->addWidget(new QLabel(QStringLiteral("Copyright (C) 2026 Korvell")));
    auto* const buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* const row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text);
    row->addWidget(buttons, 0, Qt::AlignTop);
    setLayout(row);
}
