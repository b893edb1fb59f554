#include "app/DocumentManager.h"

#include "tests/app/GuiTestSupport.h"
#include "view/LoanDocument.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

using gui_test::WhenModal;

class DocumentManagerTest : public ::testing::Test {
protected:
    DocumentManagerTest() { gui_test::ClearSettings(); }

    QTemporaryDir dir;
    DocumentManager manager{nullptr};
};

TEST_F(DocumentManagerTest, OpensEachFileOnceUntilItsDocumentCloses) {
    const QString path = dir.filePath(QStringLiteral("loan.brw"));
    ASSERT_TRUE(LoanDocument().saveTo(path).isEmpty());
    LoanDocument* const first = manager.OpenDocumentFile(path);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, manager.OpenDocumentFile(dir.filePath(QStringLiteral("./loan.brw"))));
    EXPECT_EQ(QStringList{path}, manager.RecentFiles().Files());

    manager.CloseDocument(*first);
    EXPECT_TRUE(manager.Documents().isEmpty());
    LoanDocument* const second = manager.OpenDocumentFile(path);
    EXPECT_NE(first, second);
    EXPECT_EQ(QList<LoanDocument*>{second}, manager.Documents());
}

TEST_F(DocumentManagerTest, SavingAllStopsAtTheFirstCancel) {
    for (int i = 0; i < 3; ++i) manager.NewDocument().setModified(true);
    EXPECT_EQ("Brel3", manager.Documents().last()->title().toStdString());
    QStringList asked;
    const auto answer = [&asked](QMessageBox::StandardButton button) {
        return [&asked, button](QMessageBox* box) {
            asked << box->text();
            box->button(button)->click();
        };
    };
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        WhenModal<QMessageBox>(answer(QMessageBox::Cancel));
        answer(QMessageBox::Discard)(box);
    });
    EXPECT_FALSE(manager.SaveAllModified());
    EXPECT_EQ((QStringList{"Save changes to Brel1?", "Save changes to Brel2?"}), asked);
    EXPECT_EQ(3, manager.Documents().size());
}

}  // namespace
