#include "app/HelpWindow.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const char* const kHelpHtml = R"(
<h2><a name="contents"></a>Brellow Help</h2>
<p>Brellow computes the payments of a loan and lists its amortization schedule:
for each payment its date, the amount paid, the interest and principal parts and the
balance left. Topics:</p>
<ul>
<li><a href="#files">Loan documents</a></li>
<li><a href="#schedule">The schedule window</a></li>
<li><a href="#parameters">Loan parameters</a></li>
<li><a href="#options">Display options</a></li>
<li><a href="#tools">Exports, printing, charts and advisors</a></li>
<li><a href="#exports">Exporting and copying the schedule</a></li>
<li><a href="#printing">Printing</a></li>
</ul>

<h3><a name="files"></a>Loan documents</h3>
<p><b>File &gt; New</b> (Ctrl+N) starts a loan named Brel1, Brel2 and so on, and asks for
its terms. <b>File &gt; Open</b> (Ctrl+O) reads a Brellow file (*.brw); <b>Save</b> (Ctrl+S)
and <b>Save As</b> (Ctrl+Shift+S) write one. Each file dialog starts in the folder last used
for its kind of file and proposes the loan's name. A file is replaced only once the new one
has been written completely. Closing a loan with unsaved changes, or leaving with <b>File
&gt; Exit</b> (Ctrl+Q), asks whether to save them. The File menu
lists the four loans used last; at start-up the program reopens the most recent one unless
a file is named on the command line.</p>

<h3><a name="schedule"></a>The schedule window</h3>
<p>The top of the window summarises the terms: amount, yearly rate, number of periods, the
payment per period and, when set, the additional payment and the balloon payment. Below it,
a row of tabs selects <b>All</b> payments or one calendar year; loans paid once a year have
no tabs. The table lists each payment, then the annual totals of the selected year and the
running totals from the first payment. <b>Window &gt; New Window</b> opens a second window
on the same loan.</p>

<h3><a name="parameters"></a>Loan parameters</h3>
<p><b>Tools &gt; Change Loan Parameters</b> (Ctrl+L) edits the amount, the number of periods,
the yearly interest rate, the first payment date, how often payments are made and interest is
compounded, an additional payment per period and an optional balloon payoff. <b>Edit &gt;
Undo</b> (Ctrl+Z) and <b>Redo</b> (Ctrl+Y or Ctrl+Shift+Z) step back and forth over the last
change.</p>
<ul>
<li><b>Amount</b> and <b>additional payment</b>: dollars with a point for the decimals
(1500.25), or as Brellow shows them ($1,500.25), below 1,000,000,000,000. The amount is kept
to the cent.</li>
<li><b>Total periods</b>: 0 to 1,000,000 payments; the label says what one period is.</li>
<li><b>First payment date</b>: month first, 04/01/2003, or 2003-04-01. Monthly and longer
payments fall on the same day of the month, or on the month's last day when it is shorter.
The last payment must fall no later than 12/31/9999.</li>
<li><b>Compounding</b>: <i>Continuously</i> compounds interest continuously.</li>
<li><b>Balloon payment</b>: the loan is paid off in full with payment number N, between 1
and the number of periods.</li>
<li>An additional payment shortens the schedule: the loan ends with the
payment that clears the balance.</li>
</ul>

<h3><a name="options"></a>Display options</h3>
<p><b>Tools &gt; Options</b> (Ctrl+T) chooses whether the amortization table is shown and
the background colours of the window and of the table. The choices apply to every open
window at once and are kept for the next start of the program.</p>

<h3><a name="tools"></a>Exports, printing, charts and advisors</h3>
<p>The loan can be exported as a text file, an HTML page or a CSV file, its table copied to
the clipboard, printed, and charted; the refinance advisor compares a current mortgage with a
new one, and the open loans can be compared side by side.</p>

<h3><a name="exports"></a>Exporting and copying the schedule</h3>
<p><b>Tools &gt; Export as Text File</b>, <b>Export as HTML File</b> and <b>Export as CSV
File</b> write the loan to a file you name. The text file and the HTML page hold the summary
of the terms and the table with its totals; the CSV file holds one line per payment, with
dates as 2003-01-31 and amounts as plain numbers, for spreadsheets. Each lists the year
selected by the tabs, or every payment under <b>All</b>. A name without a suffix gets .txt,
.html or .csv. An existing file is replaced only after you confirm, and only once the new one
has been written completely; if the file cannot be written, a message names it and says
why. <b>Edit &gt; Copy Table</b> (Ctrl+C) puts the table of the selected year, without the
summary, on the clipboard as text with tab-separated columns, to paste into a spreadsheet or
another program. It is available while the table is shown (<b>Tools &gt; Options</b>).</p>

<h3><a name="printing"></a>Printing</h3>
<p><b>File &gt; Print</b> (Ctrl+P) prints the summary of the terms on the first page and, when
the table is shown, the table of the year selected by the tabs (or every payment under
<b>All</b>) on as many pages as it needs, ending with the totals. The print dialog knows how
many pages that takes: choose some of them to print only those, or <i>Print to File (PDF)</i>
to write a PDF file, which needs no printer. <b>File &gt; Print Preview</b> shows the pages as
they will print, one or two side by side; the next preview shows as many. <b>File &gt; Print
Setup</b> chooses the paper, its orientation and margins for what is printed next.</p>
<p>From a command line, <code>brellow --print loan.brw</code> prints every year of a loan on
the default printer, <code>brellow --print-to PRINTER loan.brw</code> on the named printer and
<code>brellow --print-to-pdf loan.pdf loan.brw</code> into a PDF file, without opening a window;
the table is printed when the display options show it. <code>brellow --help</code> lists
them.</p>

<h3><a name="charts"></a>Charts</h3>
<p><b>Charts &gt; Monthly Principal vs. Interest</b> draws, payment by payment, how much of
each payment is interest (red) and how much repays the loan (blue). <b>Charts &gt; Total
Principal vs. Interest</b> shows the loan amount and the total interest as the two slices of
a pie. <b>Charts &gt; Balance Over Time</b> draws the balance left after each payment, from
the loan amount down to zero, marks when the loan is paid off and, when the loan has an
additional payment per period, draws the loan without it beside it. The charts need a loan
with at least one period. Right-click a chart to copy it to the clipboard as a picture or to
save it as a PNG or SVG file. Charts are drawn in black on white whatever the desktop's
colours, and a screen reader reads what each shows in figures.</p>
<p>From a command line, <code>brellow --chart balance --output balance.png loan.brw</code>
draws a chart into a PNG or SVG file without opening a window (<code>payment</code>,
<code>total</code> or <code>balance</code>; <code>--size 1200x600</code> makes it larger).</p>

<h3><a name="advisor"></a>Refinance advisor</h3>
<p><b>Advisors &gt; Refinance Advisor...</b> asks for the current mortgage (amount, term,
rate, months already paid, tax bracket) and a new loan (term, rate, points, closing cost),
then says what the new balance is and whether, and after how long, refinancing pays off.
The open loan is neither read nor changed.</p>

<h3><a name="payoff"></a>Payoff summary</h3>
<p><b>Advisors &gt; Payoff Summary...</b> shows how many payments the open loan takes, the
date of the last one, the total paid and the total interest. When the loan has an additional
payment per period, it shows the same without it and what the additional payment saves:
payments, time in years and months, and interest. Type another additional payment to see the
figures change; <b>Apply</b> makes it the loan's additional payment, and <b>Edit &gt; Undo</b>
brings the old one back.</p>

<h3><a name="compare"></a>Comparing open loans</h3>
<p><b>Advisors &gt; Compare Open Loans...</b> sets every open loan side by side, one column
each, headed by its name: the amount, rate, payment period, number of periods, payment per
period and additional payment, then the figures of the payoff summary (payments until paid
off, the last payment date, total paid and total interest) and how much more interest and
how much more in all each loan costs than the cheapest. The cheapest is the loan with the
least total interest, the first from the left where several share it; its name is marked
<i>(cheapest)</i>. The window stays open beside the loans and follows them: change a loan's
terms, undo or redo, open or close a loan, and the columns change with it. <b>Copy</b> puts
the table on the clipboard with tab-separated columns, for a spreadsheet. Where a loan's
figures cannot be shown to the cent, the reason stands in their place.
<code>brellow-cli compare a.brw b.brw</code> prints the same table for loans saved as
files.</p>
)";

QPointer<HelpWindow>& Instance() {
    static QPointer<HelpWindow> instance;
    return instance;
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser) {
    setWindowTitle(QStringLiteral("Brellow Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setOpenLinks(true);
    m_browser->setHtml(QString::fromUtf8(kHelpHtml));
    auto* const buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    resize(560, 480);
}

void HelpWindow::ShowTopic(const QString& topic) {
    const QString anchor = topic.isEmpty() ? QStringLiteral("contents") : topic;
    m_browser->scrollToAnchor(anchor);
}

QString HelpWindow::Text() const {
    return m_browser->toPlainText();
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    // Escape closes the window as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

HelpWindow* ShowHelp(QWidget* parent, const QString& topic) {
    QPointer<HelpWindow>& instance = Instance();
    QWidget* const owner = parent ? parent->window() : nullptr;
    if (!instance) {
        instance = new HelpWindow(owner);
    } else if (owner && instance->parentWidget() != owner) {
        // A window owned by another one stays usable while a modal dialog (its new
        // owner) is open; help asked from that dialog must not be blocked by it.
        instance->setParent(owner, instance->windowFlags());
    }
    instance->show();
    instance->raise();
    instance->activateWindow();
    instance->ShowTopic(topic);
    return instance;
}
