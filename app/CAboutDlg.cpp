#include "app/CAboutDlg.h"

#include "app/AppIcons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The home page the software centres' description names as well.
constexpr char kWebsite[] = "https://www.korvell.com/brellow/";

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Brellow"));
    auto* const icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* const text = new QVBoxLayout;
    text->addWidget(new QLabel(QStringLiteral("Brellow Version 1.0")));
    text->addWidget(new QLabel(QStringLiteral("Copyright (C) 2026 Korvell")));
    text->addWidget(new QLabel(QStringLiteral("Released under the MIT License.")));
    auto* const website =
        new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(QLatin1String(kWebsite)));
    website->setTextFormat(Qt::RichText);
    website->setOpenExternalLinks(true);
    text->addWidget(website);
    auto* const buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* const row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text);
    row->addWidget(buttons, 0, Qt::AlignTop);
    setLayout(row);
}
