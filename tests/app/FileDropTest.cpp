#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/support/TestLoans.h"
#include "view/LoanDocument.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace {

class FileDropTest : public ::testing::Test {
protected:
    FileDropTest() {
        gui_test::ClearSettings();
        frame = std::make_unique<CMainFrame>();
        frame->show();
    }

    // A saved loan of `amount` named `name` in the test's folder.
    QString SavedLoan(const QString& name, double amount) {
        const QString path = dir.filePath(name);
        LoanDocument document(brellow::test::Loan({.amount = amount}));
        EXPECT_TRUE(document.saveTo(path).isEmpty());
        return path;
    }

    // Drags the URLs over the window and drops them as a file manager does; true when
    // the window took them. The files open once the events that follow are handled.
    bool Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPointF at(frame->width() / 2, frame->height() / 2);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }

    std::vector<std::pair<std::string, double>> OpenLoans() const {
        std::vector<std::pair<std::string, double>> loans;
        for (CChildFrame* child : frame->ChildFrames()) {
            const LoanDocument& document = child->GetDocument();
            loans.emplace_back(document.pathName().toStdString(), document.doc().GetLoanAmount());
        }
        return loans;
    }

    QTemporaryDir dir;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(FileDropTest, EachDroppedLoanFileOpensInItsWindowAndJoinsTheRecentFiles) {
    const QString first = SavedLoan(QStringLiteral("first.brw"), 1000.0);
    const QString second = SavedLoan(QStringLiteral("SECOND.BRW"), 2000.0);
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(QFile(first).copy(notes));

    EXPECT_TRUE(frame->acceptDrops());
    ASSERT_TRUE(Drop(
        {QUrl::fromLocalFile(first), QUrl::fromLocalFile(notes), QUrl::fromLocalFile(second)}));
    const std::vector<std::pair<std::string, double>> expected{{first.toStdString(), 1000.0},
                                                               {second.toStdString(), 2000.0}};
    EXPECT_EQ(expected, OpenLoans());
    EXPECT_EQ((QStringList{second, first}), frame->Documents().RecentFiles().Files());

    // Dropped again, they show the windows that have them.
    ASSERT_TRUE(Drop({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)}));
    EXPECT_EQ(expected, OpenLoans());
}

TEST_F(FileDropTest, AFileThatCannotBeReadIsReportedAndTheOthersStillOpen) {
    const QString broken = dir.filePath(QStringLiteral("broken.brw"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a loan");
    file.close();
    const QString good = SavedLoan(QStringLiteral("good.brw"), 3000.0);

    QString message;
    gui_test::WhenModal<QMessageBox>([&message](QMessageBox* box) {
        message = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    ASSERT_TRUE(Drop({QUrl::fromLocalFile(broken), QUrl::fromLocalFile(good)}));
    EXPECT_TRUE(message.contains(broken)) << message.toStdString();
    const std::vector<std::pair<std::string, double>> expected{{good.toStdString(), 3000.0}};
    EXPECT_EQ(expected, OpenLoans());
}

TEST_F(FileDropTest, DropsAreTakenAsCopiesWhateverTheSourceProposes) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(SavedLoan(QStringLiteral("moved.brw"), 1000.0))});
    const QPoint at(frame->width() / 2, frame->height() / 2);
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    // Shift makes the source propose a move.
    QDragEnterEvent enter(at, copyOrMove, &data, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(Qt::MoveAction, enter.proposedAction());
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(Qt::CopyAction, enter.dropAction());
    QDropEvent drop(at, copyOrMove, &data, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(Qt::CopyAction, drop.dropAction());

    // A source that offers nothing but a move is turned away.
    QDragEnterEvent moveOnly(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &moveOnly);
    EXPECT_FALSE(moveOnly.isAccepted());
}

TEST_F(FileDropTest, OnlyLocalLoanFilesAreTaken) {
    const struct {
        const char* what;
        QList<QUrl> urls;
    } cases[] = {
        {"no files", {}},
        {"another kind of file", {QUrl::fromLocalFile(dir.filePath(QStringLiteral("a.txt")))}},
        {"a loan that is not local", {QUrl(QStringLiteral("https://example.com/loan.brw"))}},
        {"a name that only ends in brw",
         {QUrl::fromLocalFile(dir.filePath(QStringLiteral("xbrw")))}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Drop(c.urls)) << c.what;
    }
    EXPECT_TRUE(frame->ChildFrames().isEmpty());
}

}  // namespace
