#include "app/CBrellowApp.h"

#include "app/CMainFrame.h"
#include "app/ChartCommand.h"
#include "app/DisplaySettings.h"
#include "engine/FileIo.h"
#include "engine/StreamSink.h"
#include "output/MessageText.h"
#include "tools/SettingsStore.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"
#include "view/LoanPrinter.h"
#include "view/PrintOutput.h"

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <ostream>
#include <string_view>

namespace {

const char* const kUsage =
    "Usage: brellow [FILE.brw]\n"
    "       brellow --print FILE.brw\n"
    "       brellow --print-to PRINTER FILE.brw\n"
    "       brellow --print-to-pdf OUT.pdf FILE.brw\n"
    "       brellow --chart payment|total|balance --output OUT.png|OUT.svg\n"
    "               [--size WxH] FILE.brw\n"
    "\n"
    "Without a switch Brellow opens its window, with the loan FILE.brw when one is named.\n"
    "The print switches print the loan without opening a window, every year, with the\n"
    "amortization table when the display options show it:\n"
    "  --print FILE.brw                  on the default printer\n"
    "  --print-to PRINTER FILE.brw       on the printer named PRINTER\n"
    "  --print-to-pdf OUT.pdf FILE.brw   into the PDF file OUT.pdf (- for standard output)\n"
    "--chart draws a chart of the loan without opening a window, as the Charts menu does:\n"
    "  --chart NAME                      payment (principal and interest of each payment),\n"
    "                                    total (the pie of the totals) or balance\n"
    "  --output OUT.png|OUT.svg          the picture's file, PNG or SVG\n"
    "  --size WxH                        its size in pixels; default: the chart window's\n"
    "  --help                            show this text\n"
    "  --version                         show the version\n"
    "\n"
    "Exit status: 0 on success; 1 when the loan cannot be read or the printout or chart\n"
    "cannot be made; 2 for a command line that is not understood.\n";

enum class Switch { Print, PrintTo, PrintToPdf, Chart, Help, Version };

struct SwitchRow {
    std::string_view name;
    Switch id;
    int operands;
    std::string_view operandNames;
};

constexpr SwitchRow kSwitches[] = {
    {"--print", Switch::Print, 1, "FILE.brw"},
    {"--print-to", Switch::PrintTo, 2, "PRINTER FILE.brw"},
    {"--print-to-pdf", Switch::PrintToPdf, 2, "OUT.pdf FILE.brw"},
    // Its operands are checked by DrawChartFromCommandLine.
    {"--chart", Switch::Chart, -1, ""},
    {"--help", Switch::Help, 0, ""},
    {"--version", Switch::Version, 0, ""},
};

// "brellow: " and the message, whose file names and arguments are repeated as given and
// so may hold control characters: those are shown escaped.
int Fail(std::ostream& err, int status, const std::string& message,
         std::string_view more = {}) {
    err << "brellow: " << brellow::EscapeControlCharacters(message) << '\n' << more;
    return status;
}

const SwitchRow* FindSwitch(std::string_view argument) {
    for (const SwitchRow& row : kSwitches) {
        if (row.name == argument) return &row;
    }
    return nullptr;
}

// A print's progress on a terminal: one line, rewritten a few times a second and cleared
// when the print ends.
class TerminalProgress {
public:
    explicit TerminalProgress(std::ostream& err) : m_err(err) {}
    ~TerminalProgress() {
        if (m_shown) m_err << "\r\033[K" << std::flush;
    }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    PrintProgress Progress() {
        return [this](int page, int, int total) {
            const auto now = std::chrono::steady_clock::now();
            if (m_shown && now - m_last < kEvery) return true;
            m_last = now;
            m_shown = true;
            m_err << "\rPrinting page " << page << " of " << total << "\033[K" << std::flush;
            return true;
        };
    }

private:
    static constexpr std::chrono::milliseconds kEvery{100};

    std::ostream& m_err;
    std::chrono::steady_clock::time_point m_last;
    bool m_shown = false;
};

bool IsTerminal(const std::ostream& err) {
    return err.rdbuf() == std::cerr.rdbuf() && ::isatty(STDERR_FILENO) == 1;
}

// Prints `file` as the switch says, on the printer or into the PDF file `target`; returns the
// failure, or an empty text.
// "-" as the PDF file: standard output, as for other Unix tools; a file of that name is "./-".
bool IsStandardOutput(Switch which, const QString& target) {
    return which == Switch::PrintToPdf && target == QLatin1String("-");
}

QString PrintLoan(Switch which, const QString& target, const QString& file,
                  const PrintProgress& progress, std::ostream& out) {
    if (which == Switch::PrintToPdf && !IsStandardOutput(which, target)) {
        // The printout must not take the place of the loan it prints.
        const brellow::FileResult refused = brellow::CheckNotOverInput(
            QFile::encodeName(target).toStdString(), QFile::encodeName(file).toStdString());
        if (!refused) {
            return QStringLiteral("Cannot write %1: %2.")
                .arg(target, QFile::decodeName(refused.reason.c_str()));
        }
    }
    LoanDocument document;
    const QString unreadable = document.readFrom(file);
    if (!unreadable.isEmpty()) return unreadable;
    QSettings store = SettingsStore();
    const DisplaySettings settings = LoadDisplaySettings(store);
    CTamsicView view(document, settings);
    view.OnInitialUpdate();
    const LoanPrinter loan(view, settings.showTable);

    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(600);
    if (IsStandardOutput(which, target)) {
        const QString standardOutput = QStringLiteral("standard output");
        brellow::StreamSink sink(out);
        const QString failure = PrintToPdf(loan, sink, standardOutput, printer.pageLayout(),
                                           printer.resolution(), progress);
        if (!failure.isEmpty() || out.flush()) return failure;
        return QStringLiteral("Cannot write %1.").arg(standardOutput);
    }
    if (which == Switch::PrintToPdf) {
        return PrintToPdf(loan, target, printer.pageLayout(), printer.resolution(), {}, progress);
    }
    const QString name = which == Switch::PrintTo ? target : QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) {
        return QStringLiteral("Cannot print %1: there is no default printer.").arg(file);
    }
    if (!QPrinterInfo::availablePrinterNames().contains(name)) {
        return QStringLiteral("Cannot print %1: there is no printer named %2.").arg(file, name);
    }
    printer.setPrinterName(name);
    return PrintOn(loan, printer, progress);
}

}  // namespace

CBrellowApp::CBrellowApp() = default;
CBrellowApp::~CBrellowApp() = default;

bool CBrellowApp::RunsWithoutWindow(int argc, const char* const* argv) {
    return argc > 1 && FindSwitch(argv[1]) != nullptr;
}

std::optional<int> CBrellowApp::RunWithoutWindow(const QStringList& arguments, std::ostream& out,
                                                 std::ostream& err) {
    if (arguments.isEmpty()) return std::nullopt;
    const std::string first = arguments.first().toStdString();
    const SwitchRow* const command = FindSwitch(first);
    if (!command) {
        if (!first.starts_with("--")) return std::nullopt;
        return Fail(err, 2, "unknown option " + first, kUsage);
    }
    if (command->id == Switch::Help || command->id == Switch::Version) {
        out << (command->id == Switch::Help ? kUsage : "brellow 1.0\n");
        return 0;
    }
    if (command->id == Switch::Chart) {
        const std::optional<ChartCommandFailure> failure =
            DrawChartFromCommandLine(arguments.mid(1));
        if (!failure) return 0;
        return Fail(err, failure->status, failure->message.toStdString(),
                    failure->status == 2 ? kUsage : "");
    }
    if (arguments.size() != command->operands + 1) {
        return Fail(err, 2, first + " takes " + std::string(command->operandNames), kUsage);
    }
    QString failure;
    {
        // Gone, and its line cleared, before a failure is reported.
        TerminalProgress terminal(err);
        failure = PrintLoan(command->id, arguments.value(1), arguments.last(),
                            IsTerminal(err) ? terminal.Progress() : PrintProgress(), out);
    }
    if (failure.isEmpty()) return 0;
    return Fail(err, 1, failure.toStdString());
}

std::optional<int> CBrellowApp::RunWithoutApplication(int argc, const char* const* argv,
                                                      std::ostream& out, std::ostream& err) {
    const SwitchRow* const command = argc > 1 ? FindSwitch(argv[1]) : nullptr;
    // Help, the version and a switch we do not know are answered before any display is
    // looked for.
    const bool unknownSwitch = !command && argc > 1 && std::string_view(argv[1]).starts_with("--");
    const bool answers =
        command && (command->id == Switch::Help || command->id == Switch::Version);
    if (!answers && !unknownSwitch) return std::nullopt;
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return RunWithoutWindow(arguments, out, err);
}

bool CBrellowApp::InitInstance(const QStringList& arguments) {
    m_mainFrame = std::make_unique<CMainFrame>();
    m_mainFrame->show();
    OpenFirstDocument(arguments);
    return true;
}

void CBrellowApp::OpenFirstDocument(const QStringList& arguments) {
    if (!arguments.isEmpty() && !arguments.first().isEmpty()) {
        m_mainFrame->OpenDocumentFile(arguments.first());
        return;
    }
    const QString recent = m_mainFrame->Documents().RecentFiles().First();
    if (!recent.isEmpty()) {
        m_mainFrame->OpenRecentFile(recent);
        return;
    }
    m_mainFrame->OnFileNew();
}
