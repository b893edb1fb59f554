#pragma once

// An open loan document as the windows see it: the engine's CTamsicDoc plus the
// signals every view of it listens to. Views of one document share one LoanDocument.
//
// It also keeps the schedule's checkpoints, so that a view showing rows near the end of
// a long schedule starts its walk close to them. They are built again whenever the
// terms or the payment have changed (on notifyTermsChanged, on reading a file and on
// computePayment); checkpoints of other terms are ignored by the generator, so a
// change that was not announced costs speed, never correctness.

#include "engine/CTamsicDoc.h"
#include "engine/Schedule.h"

#include <QObject>
#include <QString>

class LoanDocument : public QObject {
    Q_OBJECT

public:
    explicit LoanDocument(const brellow::CTamsicDoc& doc = brellow::CTamsicDoc(),
                          QObject* parent = nullptr);

    brellow::CTamsicDoc& doc() noexcept { return m_doc; }
    const brellow::CTamsicDoc& doc() const noexcept { return m_doc; }

    // Marks the document modified or saved and tells the windows.
    void setModified(bool modified);
    // Call after the terms (and the computed payment) changed: every view lays itself
    // out again where the schedule's length or years changed, and repaints.
    void notifyTermsChanged();
    // Computes the payment and periodic rate from the terms, as a view does on opening.
    void computePayment();
    const brellow::ScheduleCheckpoints& checkpoints() const noexcept { return m_checkpoints; }

    QString title() const;
    QString pathName() const;
    bool isModified() const noexcept { return m_doc.IsModified(); }
    void setTitle(const QString& title);

    // Replaces the terms with those of the file at `path`. Returns an empty text on
    // success, else a message naming the file and the reason; the document is then
    // unchanged.
    QString readFrom(const QString& path);
    // Saves to `path` without touching any old file there unless the whole write
    // succeeded. Returns an empty text on success (the document then carries the new
    // path and title and is no longer modified), else a message naming the file and the
    // reason, and the document stays as it was, modified flag included.
    QString saveTo(const QString& path);

signals:
    void termsChanged();
    void modifiedChanged(bool modified);
    void titleChanged();

private:
    // Builds the checkpoints again unless they belong to the current terms and payment.
    void updateCheckpoints();

    brellow::CTamsicDoc m_doc;
    brellow::ScheduleCheckpoints m_checkpoints;
};
