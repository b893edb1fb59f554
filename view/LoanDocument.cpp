#include "view/LoanDocument.h"

#include "engine/LoanFile.h"

#include <QFile>

namespace {

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

LoanDocument::LoanDocument(const brellow::CTamsicDoc& doc, QObject* parent)
    : QObject(parent), m_doc(doc) {
    updateCheckpoints();
}

void LoanDocument::setModified(bool modified) {
    const bool was = m_doc.IsModified();
    m_doc.SetModifiedFlag(modified);
    if (was != modified) emit modifiedChanged(modified);
}

void LoanDocument::notifyTermsChanged() {
    updateCheckpoints();
    emit termsChanged();
}

void LoanDocument::computePayment() {
    m_doc.ComputePayment();
    updateCheckpoints();
}

void LoanDocument::updateCheckpoints() {
    const brellow::ScheduleBasis basis = m_doc.GetScheduleBasis();
    if (!(m_checkpoints.Basis() == basis)) m_checkpoints = brellow::ScheduleCheckpoints(basis);
}

QString LoanDocument::title() const {
    return QString::fromStdString(m_doc.GetTitle());
}

QString LoanDocument::pathName() const {
    return QFile::decodeName(m_doc.GetPathName().c_str());
}

void LoanDocument::setTitle(const QString& title) {
    m_doc.SetTitle(title.toStdString());
    emit titleChanged();
}

QString LoanDocument::readFrom(const QString& path) {
    brellow::CTamsicDoc loaded;
    const std::string error = brellow::ReadLoanFile(NativePath(path), loaded);
    if (!error.empty()) return QString::fromStdString(error);
    const bool wasModified = m_doc.IsModified();
    m_doc = loaded;
    m_doc.SetModifiedFlag(false);
    updateCheckpoints();
    if (wasModified) emit modifiedChanged(false);
    emit titleChanged();
    emit termsChanged();
    return {};
}

QString LoanDocument::saveTo(const QString& path) {
    const bool wasModified = m_doc.IsModified();
    const std::string error = brellow::WriteLoanFile(NativePath(path), m_doc);
    if (!error.empty()) return QString::fromStdString(error);
    if (wasModified) emit modifiedChanged(false);
    emit titleChanged();
    return {};
}
