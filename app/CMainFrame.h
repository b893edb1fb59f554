#pragma once

// The main window: menus, toolbar, status bar and one child window per view of an open
// loan document. It owns the display settings (loaded when it is built, saved when it
// is destroyed), the documents through its DocumentManager, and every command's action,
// built from one table of commands; UpdateActions() sets each command's enabled state
// from the active document.

#include "app/AppIcons.h"
#include "app/DisplaySettings.h"
#include "app/DocumentManager.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class CChildFrame;
class CTamsicView;
class LoanDocument;
class QMdiArea;
class QMenu;
class QPrinter;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    enum class Command {
        New,
        Open,
        Close,
        Save,
        SaveAs,
        Print,
        PrintPreview,
        PrintSetup,
        RecentFile,
        Exit,
        Undo,
        Redo,
        CopyTable,
        ChangeLoanParameters,
        Options,
        ExportText,
        ExportHtml,
        ExportCsv,
        RefinanceAdvisor,
        PayoffSummary,
        CompareLoans,
        ChartMonthly,
        ChartTotal,
        ChartBalance,
        ViewToolbar,
        ViewStatusBar,
        NewWindow,
        Cascade,
        Tile,
        ArrangeIcons,
        HelpTopics,
        About,
        Help,
        ContextHelp,
    };

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    QAction* GetAction(Command command) const;
    const DisplaySettings& Settings() const noexcept { return m_settings; }
    DocumentManager& Documents() noexcept { return m_documents; }
    const DocumentManager& Documents() const noexcept { return m_documents; }
    QMdiArea* MdiArea() const noexcept { return m_mdiArea; }
    QToolBar* ToolBar() const noexcept { return m_toolBar; }
    // The printer every print, preview and page setup of this run shares.
    QPrinter& Printer();

    // New document "Brel1", "Brel2"... in a new window.
    CChildFrame* OnFileNew();
    // Opens the file in a new window, or activates the window already showing it. A file
    // that cannot be read is reported by name with the reason; returns null then.
    CChildFrame* OpenDocumentFile(const QString& path);
    // Opens a recent file; one that cannot be opened is dropped from the list.
    CChildFrame* OpenRecentFile(const QString& path);
    // Closes every window of the document, asking to save it first when it is modified;
    // false when the person chose "Cancel" or the save failed.
    bool CloseDocument(LoanDocument& document);
    bool CloseAllDocuments();
    // A second window on the active document.
    CChildFrame* OnWindowNew();
    // Takes new display settings: every view is laid out again when the table was
    // switched on or off, and repainted in any case.
    void ApplyDisplaySettings(const DisplaySettings& settings);

    CChildFrame* ActiveChild() const;
    CTamsicView* ActiveView() const;
    LoanDocument* ActiveDocument() const;
    const QList<CChildFrame*>& ChildFrames() const noexcept { return m_frames; }
    QList<CChildFrame*> FramesOf(const LoanDocument& document) const;
    // Whether the menu bar is the one for open documents.
    bool HasDocumentMenus() const;

    void UpdateActions();

    // Called by the child frames.
    bool CanCloseFrame(CChildFrame& frame);
    // A child frame closed or destroyed; called once or twice for each frame.
    void OnChildFrameGone(CChildFrame& frame);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // .brw files dropped on the window open as if chosen in File > Open, one by one.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class Menu { None, File, Edit, Tools, Advisors, Charts, View, Window, Help };

    // A command's toolbar button: its 1-based place among the toolbar's entries (a gap in
    // the numbers is a separator), 0 for none, and its picture.
    struct ToolbarButton {
        int slot = 0;
        ToolIcon icon = ToolIcon::New;
    };
    // One command: its texts, where it shows, what it does and when it is available.
    // Items of a menu follow the table's order.
    struct CommandRow {
        Command id;
        const char* text;  // with & before its letter and no key: menus show `keys` themselves
        const char* prompt = "";  // the status-bar prompt, also the "What's This?" text
        const char* tip = "";
        // One portable key name per shortcut, each a single key: {"Ctrl+Z", "Alt+Backspace"}.
        // One text "Ctrl+Z, Alt+Backspace" would be a single two-key sequence.
        std::vector<const char*> keys = {};
        Menu menu = Menu::None;
        bool separatorBefore = false;
        // In a menu shown without documents, an item only while one is open.
        bool documentMenuOnly = false;
        ToolbarButton button = {};
        bool checkable = false;  // starts checked
        void (*run)(CMainFrame& frame) = nullptr;
        bool (*enabled)(const LoanDocument* active) = nullptr;  // null: always
        bool whileTableShown = false;  // and only while the views show the table
    };
    // The items of one menu that come from one row: its separator, its action, and for
    // "Recent File" the recent files.
    struct MenuItem {
        QMenu* menu;
        QList<QAction*> actions;
        bool documentMenuOnly;
    };

    static const std::vector<CommandRow>& CommandTable();
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void ReadSettings();
    void WriteSettings();
    void RestorePlacement();

    void WatchDocument(LoanDocument* document);
    CChildFrame* ShowDocument(LoanDocument* document);
    CChildFrame* CreateChildFrame(LoanDocument& document);
    void UpdateFrameTitles(const LoanDocument& document);
    void UpdateTitle();
    void ApplyTitle();
    void UpdateRecentFileMenu();
    void UpdateWindowMenu();
    void ShowDocumentMenus(bool show);
    // Puts back the shown items of the menu of `menuAction`, as the documents and the
    // recent files say.
    void FillMenu(QAction* menuAction);

    void OnOptions();
    void OnWindowCascade();
    void OnArrangeIcons();

    DisplaySettings m_settings;
    DocumentManager m_documents;
    QMdiArea* m_mdiArea;
    QToolBar* m_toolBar = nullptr;
    std::map<Command, QAction*> m_actions;
    QList<MenuItem> m_menuItems;
    std::optional<bool> m_documentMenusShown;  // none before the first UpdateActions()
    QList<QAction*> m_recentActions;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
    QList<CChildFrame*> m_frames;
    std::unique_ptr<QPrinter> m_printer;
    QString m_title = QStringLiteral("Brellow");
    bool m_titleModified = false;
    bool m_destroying = false;
};
