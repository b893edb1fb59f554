#pragma once

// Start-up of the program: the main window, then the first document. A file named on
// the command line is opened; without one the most recently used file is reopened, and
// without either a new document opens. A file that cannot be opened is reported and
// the program goes on with the main window.
//
// The print switches print a loan without showing any window and end the program:
//   brellow --print FILE.brw                  on the default printer
//   brellow --print-to PRINTER FILE.brw       on the named printer
//   brellow --print-to-pdf OUT.pdf FILE.brw   into a PDF file
// every year, with the table shown or not as the display settings say; `brellow --chart`
// draws a chart into a PNG or SVG file (ChartCommand.h). They exit with 0 on
// success, 1 when the loan cannot be read or the printout cannot be made (a message names
// the file and the reason), 2 for a command line they do not understand; their messages
// start with "brellow: ". `brellow --help` lists them and `brellow --version` names the
// version.

#include <QStringList>

#include <iosfwd>
#include <memory>
#include <optional>

class CMainFrame;

class CBrellowApp {
public:
    CBrellowApp();
    ~CBrellowApp();

    // Whether the command line (`argv` as main gets it) asks for a print switch, --help or
    // --version, which show no window and so need no display.
    static bool RunsWithoutWindow(int argc, const char* const* argv);
    // Answers --help and --version without the application object, so without looking for a
    // display; nothing for any other command line.
    static std::optional<int> RunWithoutApplication(int argc, const char* const* argv,
                                                    std::ostream& out, std::ostream& err);
    // Runs a print switch, --help or --version (`arguments` without the program name) and
    // returns the exit status; nothing for a command line that opens the program's window.
    static std::optional<int> RunWithoutWindow(const QStringList& arguments, std::ostream& out,
                                               std::ostream& err);

    // `arguments` without the program name.
    bool InitInstance(const QStringList& arguments);
    CMainFrame* GetMainFrame() const noexcept { return m_mainFrame.get(); }

private:
    void OpenFirstDocument(const QStringList& arguments);

    std::unique_ptr<CMainFrame> m_mainFrame;
};
