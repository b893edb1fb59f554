#include "tools/CCompareDlg.h"

#include "engine/CTamsicDoc.h"
#include "engine/LoanComparison.h"
#include "output/ComparisonWriters.h"
#include "view/LoanDocument.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <vector>

namespace {

brellow::LoanComparison Compare(const QList<LoanDocument*>& documents) {
    std::vector<brellow::CTamsicDoc> docs;
    for (const LoanDocument* document : documents) {
        docs.push_back(document->doc());
        // A document just opened gets its payment when its first view shows it.
        docs.back().ComputePayment();
    }
    return brellow::CompareLoans(docs);
}

QStringList Texts(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) list.append(QString::fromStdString(text));
    return list;
}

}  // namespace

CCompareDlg::CCompareDlg(const QList<LoanDocument*>& documents, QWidget* parent)
    : QDialog(parent), m_table(new QTableWidget(this)) {
    setWindowTitle(QStringLiteral("Compare Open Loans"));
    m_table->setObjectName(QStringLiteral("comparison"));
    // A screen reader names the table, then reads each cell with its row and column heads.
    m_table->setAccessibleName(QStringLiteral("Open loans side by side"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* const copy = new QPushButton(QStringLiteral("&Copy"), this);
    copy->setObjectName(QStringLiteral("copy"));
    auto* const close = new QPushButton(QStringLiteral("Close"), this);
    close->setDefault(true);

    auto* const buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(close);
    auto* const top = new QVBoxLayout(this);
    top->addWidget(m_table);
    top->addLayout(buttons);

    connect(copy, &QPushButton::clicked, this, &CCompareDlg::OnCopy);
    connect(close, &QPushButton::clicked, this, &CCompareDlg::close);
    for (LoanDocument* document : documents) Watch(document);
    Refresh();
    resize(640, 420);
}

void CCompareDlg::AddDocument(LoanDocument* document) {
    Watch(document);
    Refresh();
}

void CCompareDlg::Watch(LoanDocument* document) {
    m_documents.append(document);
    connect(document, &LoanDocument::termsChanged, this, &CCompareDlg::Refresh);
    connect(document, &LoanDocument::titleChanged, this, &CCompareDlg::Refresh);
    // The document is half gone by now: it is only compared by address.
    connect(document, &QObject::destroyed, this, [this](QObject* gone) {
        m_documents.removeIf([gone](LoanDocument* d) { return d == gone; });
        Refresh();
    });
}

QString CCompareDlg::TableText() const {
    return QString::fromStdString(
        brellow::WriteComparison(Compare(m_documents), brellow::ComparisonFormat::Text));
}

void CCompareDlg::Refresh() {
    const brellow::LoanComparison comparison = Compare(m_documents);
    const brellow::ComparisonTable table = brellow::ComparisonTexts(comparison);
    m_table->clear();
    m_table->setRowCount(static_cast<int>(table.labels.size()));
    m_table->setColumnCount(static_cast<int>(table.heads.size()));
    m_table->setVerticalHeaderLabels(Texts(table.labels));
    m_table->setHorizontalHeaderLabels(Texts(table.heads));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QStringList cells = Texts(table.cells[static_cast<std::size_t>(row)]);
        for (int column = 0; column < cells.size(); ++column) {
            auto* const item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    if (comparison.cheapest) {
        QTableWidgetItem* const head =
            m_table->horizontalHeaderItem(static_cast<int>(*comparison.cheapest));
        QFont font = head->font();
        font.setBold(true);
        head->setFont(font);
    }
    m_table->resizeColumnsToContents();
}

void CCompareDlg::OnCopy() {
    QGuiApplication::clipboard()->setText(TableText());
}
