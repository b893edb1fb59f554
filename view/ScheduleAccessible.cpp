#include "view/ScheduleAccessible.h"

#include "engine/Schedule.h"
#include "output/LoanSummary.h"
#include "output/PresenterTexts.h"
#include "view/AccessibleItem.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"
#include "view/ScheduleTexts.h"
#include "view/YearTabStrip.h"
#include "view/YearTabsAccessible.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kColumns = static_cast<int>(brellow::kColumnHeads.size());

// A rectangle in the view's document coordinates, on the screen.
QRect GlobalRect(const CTamsicView& view, const QRect& document) {
    return {view.viewport()->mapToGlobal(document.topLeft() - view.ScrollPosition()),
            document.size()};
}

bool OutOfSight(const CTamsicView& view, const QRect& document) {
    return !view.isVisible() ||
           !QRect(view.ScrollPosition(), view.viewport()->size()).intersects(document);
}

class TableAccessible : public AccessibleItem, public QAccessibleTableInterface {
public:
    TableAccessible(QAccessibleInterface* owner, CTamsicView* view)
        : AccessibleItem(owner), m_view(view) {}

    CTamsicView& View() const { return *m_view; }
    // The texts of a row (0-based, totals after the listed rows), kept for the next cell.
    const ScheduleLineTexts& LineTexts(int row) const;
    // Forgets the cells handed out and the row kept.
    void Reset() {
        m_cells.Clear();
        m_kept.reset();
    }

    bool isValid() const override { return m_view && m_view->IsTableShown(); }
    QAccessible::Role role() const override { return QAccessible::Table; }
    // "Payments of 2003", described as "12 payments and the annual and running totals".
    QString text(QAccessible::Text type) const override;
    QRect rect() const override {
        return isValid() ? GlobalRect(*m_view, m_view->TableRect()) : QRect();
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        // The view's keyboard focus is on the table's current cell.
        state.focusable = true;
        state.offscreen = isValid() && OutOfSight(*m_view, m_view->TableRect());
        return state;
    }
    int childCount() const override { return kColumns * (rowCount() + 1); }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                                   : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    QString columnDescription(int column) const override {
        return column >= 0 && column < kColumns ? Latin1Text(brellow::kColumnHeads[column])
                                                : QString();
    }
    QString rowDescription(int) const override { return {}; }
    int columnCount() const override { return kColumns; }
    int rowCount() const override;
    // Nothing in the table can be selected.
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { Reset(); }

private:
    struct KeptRow {
        brellow::ScheduleBasis basis;
        int year = brellow::kAllYears;
        int row = 0;
        ScheduleLineTexts texts;
    };

    // A cell by its row, -1 for the column heads.
    QAccessibleInterface* Cell(int row, int column) const;
    brellow::ScheduleGenerator Listing() const {
        const LoanDocument& document = m_view->GetDocument();
        return {document.doc(), m_view->GetSelectedYear(), &document.checkpoints()};
    }

    QPointer<CTamsicView> m_view;
    mutable AccessibleItems m_cells;
    mutable std::optional<KeptRow> m_kept;
};

// A cell of the table; row -1 holds the column heads. Its text is also offered through
// the text interface, which a reader may prefer to the name.
class CellAccessible : public AccessibleItem,
                       public QAccessibleTableCellInterface,
                       public ReadOnlyAccessibleText {
public:
    CellAccessible(TableAccessible* table, int row, int column)
        : AccessibleItem(table), m_row(row), m_column(column) {}

    bool isValid() const override { return Table().isValid() && m_row < Table().rowCount(); }
    QAccessible::Role role() const override {
        return m_row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Name ? WholeText() : QString();
    }
    QString WholeText() const override {
        if (!isValid()) return {};
        return m_row < 0 ? Table().columnDescription(m_column) : Table().LineTexts(m_row)[m_column];
    }
    QRect rect() const override { return isValid() ? GlobalRect(Table().View(), Box()) : QRect(); }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.offscreen = isValid() && OutOfSight(Table().View(), Box());
        if (m_row >= 0) {
            const CTamsicView& view = Table().View();
            state.focusable = true;
            state.focused = isValid() && view.hasFocus() && view.CurrentRow() == m_row &&
                            view.CurrentColumn() == m_column;
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return type == QAccessible::TableCellInterface && m_row >= 0
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        return {Table().child(m_column)};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return m_owner; }

    // The index among the table's children: the heads first, then row by row.
    int ChildIndex() const noexcept { return kColumns * (m_row + 1) + m_column; }

private:
    TableAccessible& Table() const { return *static_cast<TableAccessible*>(m_owner); }
    QRect Box() const { return Table().View().CellRect(m_row + 1, m_column); }

    int m_row;
    int m_column;
};

const ScheduleLineTexts& TableAccessible::LineTexts(int row) const {
    const brellow::ScheduleBasis basis = m_view->GetDocument().doc().GetScheduleBasis();
    const int year = m_view->GetSelectedYear();
    if (m_kept && m_kept->basis == basis && m_kept->year == year && m_kept->row == row) {
        return m_kept->texts;
    }
    brellow::ScheduleGenerator listing = Listing();
    const int listed = listing.ListedRows();
    brellow::ScheduleRow line;
    ScheduleLineTexts texts;
    if (row < listed) {
        listing.SkipListed(row);
        if (listing.Next(line)) texts = RowTexts(line);
    } else {
        listing.SkipListed(listed);
        while (listing.Next(line)) {
        }
        const brellow::ScheduleTotals& totals = listing.Totals();
        texts = listing.HasAnnualTotals() && row == listed
                    ? TotalsTexts(brellow::kAnnualTotalsLabel, totals.annual)
                    : TotalsTexts(brellow::kRunningTotalsLabel, totals.running);
    }
    m_kept = KeptRow{basis, year, row, std::move(texts)};
    return m_kept->texts;
}

QString TableAccessible::text(QAccessible::Text type) const {
    if (!isValid()) return {};
    const int year = m_view->GetSelectedYear();
    if (type == QAccessible::Name) {
        return year == brellow::kAllYears ? QStringLiteral("Payments")
                                          : QStringLiteral("Payments of %1").arg(year);
    }
    if (type != QAccessible::Description) return {};
    const int payments = rowCount() - (year == brellow::kAllYears ? 1 : 2);
    return QStringLiteral("%1 %2 and the %3")
        .arg(payments)
        .arg(payments == 1 ? QStringLiteral("payment") : QStringLiteral("payments"))
        .arg(year == brellow::kAllYears ? QStringLiteral("running totals")
                                        : QStringLiteral("annual and running totals"));
}

int TableAccessible::rowCount() const {
    return isValid() ? m_view->TableRowCount() : 0;
}

QAccessibleInterface* TableAccessible::cellAt(int row, int column) const {
    return row >= 0 ? Cell(row, column) : nullptr;
}

QAccessibleInterface* TableAccessible::Cell(int row, int column) const {
    if (row < -1 || row >= rowCount() || column < 0 || column >= kColumns) return nullptr;
    auto* const self = const_cast<TableAccessible*>(this);
    return m_cells.Get(kColumns * (row + 1) + column,
                       [&] { return new CellAccessible(self, row, column); });
}

QAccessibleInterface* TableAccessible::child(int index) const {
    if (index < 0) return nullptr;
    return Cell(index / kColumns - 1, index % kColumns);
}

int TableAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* const cell = dynamic_cast<const CellAccessible*>(child);
    return cell && cell->parent() == this && cell->isValid() ? cell->ChildIndex() : -1;
}

QAccessibleInterface* TableAccessible::childAt(int x, int y) const {
    if (!isValid()) return nullptr;
    const QPoint point = m_view->viewport()->mapFromGlobal(QPoint(x, y)) + m_view->ScrollPosition();
    const QRect heads = m_view->CellRect(0, 0);
    if (point.y() < heads.top()) return nullptr;
    const int line = (point.y() - heads.top()) / heads.height();
    for (int column = 0; column < kColumns; ++column) {
        if (m_view->CellRect(line, column).contains(point)) return Cell(line - 1, column);
    }
    return nullptr;
}

class SummaryLineAccessible : public AccessibleItem {
public:
    SummaryLineAccessible(QAccessibleInterface* owner, CTamsicView* view, int index)
        : AccessibleItem(owner), m_view(view), m_index(index) {}

    int Index() const noexcept { return m_index; }

    bool isValid() const override { return m_view && m_index < static_cast<int>(Lines().size()); }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Name && isValid() ? Latin1Text(Lines()[m_index].text)
                                                      : QString();
    }
    QRect rect() const override {
        return isValid() ? GlobalRect(*m_view, m_view->SummaryLineRect(Lines()[m_index])) : QRect();
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        return state;
    }

private:
    std::vector<brellow::SummaryLine> Lines() const {
        return brellow::LoanSummary(m_view->GetDocument().doc());
    }

    QPointer<CTamsicView> m_view;
    int m_index;
};

// The children's order: the summary lines, the year tabs when there are any, the table
// while it is shown.
class ViewAccessible : public QAccessibleWidget {
public:
    explicit ViewAccessible(CTamsicView* view)
        : QAccessibleWidget(view), m_table(new TableAccessible(this, view)) {
        m_tableId = QAccessible::registerAccessibleInterface(m_table);
        m_shape = CurrentShape();
        m_tableName = m_table->text(QAccessible::Name);
        m_tableDescription = m_table->text(QAccessible::Description);
        m_listing = QObject::connect(view, &CTamsicView::listingChanged, view,
                                     [this] { OnListingChanged(); });
        // Queued: Qt tells of the view's (and its window's) own focus after the focus-in
        // event, and the cell must come last.
        m_current = QObject::connect(
            view, &CTamsicView::currentCellChanged, view, [this] { AnnounceCurrentCell(); },
            Qt::QueuedConnection);
    }
    ~ViewAccessible() override {
        QObject::disconnect(m_listing);
        QObject::disconnect(m_current);
        m_lines.Clear();
        QAccessible::deleteAccessibleInterface(m_tableId);
    }

    int childCount() const override {
        if (!isValid()) return 0;
        return LineCount() + (View().YearTabs() ? 1 : 0) + (m_table->isValid() ? 1 : 0);
    }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override {
        // Backwards: a left summary line's box reaches under the right column's lines.
        for (int index = childCount() - 1; index >= 0; --index) {
            QAccessibleInterface* const item = child(index);
            if (item && item->rect().contains(x, y)) return item;
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (!isValid()) return nullptr;
        YearTabStrip* const tabs = View().YearTabs();
        if (tabs && tabs->hasFocus()) return QAccessible::queryAccessibleInterface(tabs);
        return View().hasFocus() ? CurrentCell() : nullptr;
    }

private:
    // What the children are, apart from the table's rows.
    struct Shape {
        std::vector<std::string> lines;
        int firstYear = 0;
        int years = -1;  // no year tabs
        bool table = false;
        friend bool operator==(const Shape&, const Shape&) = default;
    };

    CTamsicView& View() const { return *static_cast<CTamsicView*>(widget()); }
    int LineCount() const {
        return static_cast<int>(brellow::LoanSummary(View().GetDocument().doc()).size());
    }
    Shape CurrentShape() const;
    void OnListingChanged();
    QAccessibleInterface* CurrentCell() const {
        return m_table->isValid() ? m_table->cellAt(View().CurrentRow(), View().CurrentColumn())
                                  : nullptr;
    }
    // The focus goes with the current cell, as in an item view: a reader then says the
    // cell's text, and its column head when the column changed.
    void AnnounceCurrentCell();
    void AnnounceTableText(QAccessible::Text type, QString& known, QAccessible::Event change);

    TableAccessible* m_table;
    QAccessible::Id m_tableId = 0;
    mutable AccessibleItems m_lines;
    Shape m_shape;
    QString m_tableName;
    QString m_tableDescription;
    QMetaObject::Connection m_listing;
    QMetaObject::Connection m_current;
};

QAccessibleInterface* ViewAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    const int lines = LineCount();
    if (index < lines) {
        auto* const self = const_cast<ViewAccessible*>(this);
        return m_lines.Get(index, [&] { return new SummaryLineAccessible(self, &View(), index); });
    }
    if (index == lines && View().YearTabs()) {
        return QAccessible::queryAccessibleInterface(View().YearTabs());
    }
    return m_table;
}

int ViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || !isValid()) return -1;
    const int lines = LineCount();
    if (const auto* const line = dynamic_cast<const SummaryLineAccessible*>(child)) {
        return line->parent() == this && line->Index() < lines ? line->Index() : -1;
    }
    YearTabStrip* const tabs = View().YearTabs();
    if (tabs && child->object() == tabs) return lines;
    if (child == m_table && m_table->isValid()) return lines + (tabs ? 1 : 0);
    return -1;
}

ViewAccessible::Shape ViewAccessible::CurrentShape() const {
    Shape shape;
    for (brellow::SummaryLine& line : brellow::LoanSummary(View().GetDocument().doc())) {
        shape.lines.push_back(std::move(line.text));
    }
    if (const YearTabStrip* const tabs = View().YearTabs()) {
        shape.firstYear = tabs->firstYear();
        shape.years = tabs->years();
    }
    shape.table = View().IsTableShown();
    return shape;
}

void ViewAccessible::OnListingChanged() {
    m_table->Reset();
    Shape shape = CurrentShape();
    const bool reshaped = shape != m_shape;
    if (reshaped) {
        m_lines.Clear();
        m_shape = std::move(shape);
    }
    if (!QAccessible::isActive()) return;
    if (reshaped) {
        QAccessibleEvent reorder(widget(), QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    if (m_table->isValid()) {
        QAccessibleTableModelChangeEvent reset(m_table,
                                               QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
        // Another year, or another count of rows, is told by the table's name and description.
        AnnounceTableText(QAccessible::Name, m_tableName, QAccessible::NameChanged);
        AnnounceTableText(QAccessible::Description, m_tableDescription,
                          QAccessible::DescriptionChanged);
        AnnounceCurrentCell();
    }
}

void ViewAccessible::AnnounceTableText(QAccessible::Text type, QString& known,
                                       QAccessible::Event change) {
    QString text = m_table->text(type);
    if (text == known) return;
    known = std::move(text);
    QAccessibleEvent event(m_table, change);
    QAccessible::updateAccessibility(&event);
}

void ViewAccessible::AnnounceCurrentCell() {
    if (!QAccessible::isActive() || !View().hasFocus()) return;
    if (QAccessibleInterface* const cell = CurrentCell()) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

QAccessibleInterface* ScheduleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(CTamsicView::staticMetaObject.className())) {
        return new ViewAccessible(static_cast<CTamsicView*>(object));
    }
    if (className == QLatin1String(YearTabStrip::staticMetaObject.className())) {
        return new YearTabsAccessible(static_cast<YearTabStrip*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallScheduleAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&ScheduleFactory);
        return true;
    }();
    (void)installed;
}
