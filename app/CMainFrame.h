#pragma once

// The main window: menus, toolbar, status bar and one child window per view of an open
// loan document. It owns the display settings (loaded when it is built, saved when it
// is destroyed), the recently used files and every command's action; UpdateActions()
// sets each command's enabled state from the active document.

#include "app/DisplaySettings.h"
#include "app/RecentFileList.h"

#include <QMainWindow>

#include <map>
#include <memory>

class CChildFrame;
class CTamsicView;
class LoanDocument;
class QLabel;
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
        Exit,
        Undo,
        Redo,
        CopyTable,
        ChangeLoanParameters,
        Options,
        ExportText,
        ExportHtml,
        RefinanceAdvisor,
        ChartMonthly,
        ChartTotal,
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
    const RecentFileList& RecentFiles() const noexcept { return m_recentFiles; }
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
    // Save and Save As; false when the person cancelled or the write failed (reported).
    bool DoFileSave(LoanDocument& document);
    bool DoSaveAs(LoanDocument& document);
    // Asks whether to save a modified document: true when it may be closed.
    bool SaveModified(LoanDocument& document);
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

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void ReadSettings();
    void WriteSettings();
    void SaveRecentFiles();

    QAction* AddAction(Command command, const QString& text, const QString& prompt,
                       const QString& tip, const QList<QKeySequence>& keys = {});
    LoanDocument* AdoptDocument(LoanDocument* document);
    CChildFrame* CreateChildFrame(LoanDocument& document);
    QString AskSaveFileName(const LoanDocument& document);
    void ReportError(const QString& message);
    void UpdateFrameTitles(const LoanDocument& document);
    void UpdateTitle();
    void ApplyTitle();
    void UpdateRecentFileMenu();
    void UpdateWindowMenu();
    void ShowDocumentFileItems(bool show);
    void AddRecentFile(const QString& path);

    void OnFileOpen();
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFilePrintSetup();
    void OnOptions();
    void OnAppAbout();
    void OnHelp();
    void OnContextHelp();
    void OnWindowCascade();
    void OnArrangeIcons();

    DisplaySettings m_settings;
    RecentFileList m_recentFiles;
    QMdiArea* m_mdiArea;
    QToolBar* m_toolBar = nullptr;
    std::map<Command, QAction*> m_actions;
    QList<QMenu*> m_documentMenus;
    QMenu* m_fileMenu = nullptr;
    QList<QAction*> m_documentFileActions;
    QList<QAction*> m_recentActions;
    QAction* m_recentPlaceholder = nullptr;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
    QList<CChildFrame*> m_frames;
    std::unique_ptr<QPrinter> m_printer;
    QString m_title = QStringLiteral("Brellow");
    bool m_titleModified = false;
    int m_nUntitledCount = 0;
    bool m_destroying = false;
};
