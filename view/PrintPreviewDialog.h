#pragma once

// The print preview: the pages of a printout as they come out of the printer, one or two side
// by side, zoomed to fit the page, its width or a chosen size. A page is drawn when it is on
// screen and only then, so a preview of thousands of pages opens as fast as one of two and
// holds no more memory than the pages it shows.

#include <QDialog>

class LoanPrinter;
class PreviewCanvas;
class QAction;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolBar;

class PrintPreviewDialog : public QDialog {
    Q_OBJECT

public:
    // What exec() returns when the person chose Print: the caller prints once it is closed.
    static constexpr int PrintChosen = 2;

    // Previews `loan` on the paper, margins and resolution of `printer`, `pagesSideBySide`
    // (1 or 2) pages at a time. `loan` must outlive the dialog.
    PrintPreviewDialog(const LoanPrinter& loan, const QPrinter& printer, int pagesSideBySide,
                       QWidget* parent = nullptr);
    ~PrintPreviewDialog() override;

    int PageCount() const noexcept { return m_pageCount; }
    // The first page on screen.
    int CurrentPage() const;
    void SetCurrentPage(int page);
    int PagesSideBySide() const;
    void SetPagesSideBySide(int pages);

signals:
    // Each time the preview has drawn a page on screen.
    void pageDrawn(int page);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Zoom { FitPage, FitWidth, Chosen };

    QToolBar* createToolBar();
    void updateZoom();
    void zoomBy(double factor);
    void step(int pages);
    void updateNavigation();

    const int m_pageCount;
    const int m_printerDpi;
    PreviewCanvas* m_canvas;
    QScrollArea* m_scroll;
    QSpinBox* m_page = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QAction* m_single = nullptr;
    QAction* m_facing = nullptr;
    Zoom m_zoom = Zoom::FitPage;
    double m_chosenScale = 1.0;
};
