#pragma once

// A short help window of the program's own, opened by the Help menu, F1 and every
// dialog's "Help" button. One window per program; asking again raises it on the
// requested topic.

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Scrolls to a topic: "contents", "files", "schedule", "parameters", "options",
    // "tools"; an unknown topic shows the contents.
    void ShowTopic(const QString& topic);
    QString Text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* m_browser;
};

// Opens the help window above `parent` (which may be null) on `topic` and returns it.
HelpWindow* ShowHelp(QWidget* parent, const QString& topic = QStringLiteral("contents"));
