#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "KitFixture.h"

namespace {
class VelloxTextFile : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        CreateKit("none");
        target = folder.filePath(QStringLiteral("out.txt"));
        kit->SetWSFileName(target);
        kit->SetPrintToFile(true);
    }

    QByteArray Written() const {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList FolderEntries() const { return QDir(folder.path()).entryList(QDir::Files); }

    QTemporaryDir folder;
    QString target;
};

TEST_F(VelloxTextFile, WritesCellsWithTabsAndLinesWithCrLf) {
    kit->BeginDocument();
    EXPECT_TRUE(kit->IsPrinting());
    kit->WriteLine(QStringLiteral("a|b"));
    kit->EndDocument();

    EXPECT_EQ(Written(), QByteArray("a\tb\t\t\r\n"));
    EXPECT_EQ(seam->Texts(QStringLiteral("message")),
              QStringList({QStringLiteral("Content exported to ") + target}));
    EXPECT_FALSE(kit->IsPrinting());
    EXPECT_EQ(kit->PageCount(), 0);
}

TEST_F(VelloxTextFile, WrappedCellsContinueOnFurtherLinesAndPagesBecomeFormFeeds) {
    kit->SetWordWrap(true);
    kit->SetColumnLayout(QStringLiteral("<100|<100"));
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("first\nsecond|x"));
    kit->NewPage();
    kit->WriteLine(QStringLiteral("Ünïcödé|{$PAGE}"));
    kit->EndDocument();

    EXPECT_EQ(Written(), QByteArray("first\tx\t\r\nsecond\t\t\r\n\f\r\n") +
                             QStringLiteral("Ünïcödé\t2\t\r\n").toUtf8());
}

TEST_F(VelloxTextFile, NoHeaderFooterBordersOrGridAreWritten) {
    kit->SetHeaderLine(QStringLiteral("&cHeader"));
    kit->SetFooterLine(QStringLiteral("&cFooter"));
    kit->SetPageBorders({pbTop, pbLeft});
    kit->SetColumnLayout(QStringLiteral("<20"));
    int newPages = 0;
    kit->SetOnNewPage([&](QObject*) { ++newPages; });
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("row"));
    kit->EndDocument();

    EXPECT_EQ(Written(), QByteArray("row\t\r\n"));
    EXPECT_EQ(newPages, 1);
}

TEST_F(VelloxTextFile, LongDocumentsDoNotBreakPagesByThemselves) {
    kit->SetColumnLayout(QStringLiteral("<20"));
    kit->BeginDocument();
    for (int i = 0; i < 200; ++i)
        kit->WriteLine(QStringLiteral("r"));
    kit->EndDocument();
    EXPECT_FALSE(Written().contains('\f'));
    EXPECT_EQ(Written().count("\r\n"), 200);
}

TEST_F(VelloxTextFile, AStoppedRunKeepsThePreviousFileAndShowsNothing) {
    {
        QFile previous(target);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("previous contents");
    }
    kit->SetOnNewPage([&](QObject*) {
        if (kit->PageNumber() == 2)
            kit->CancelPrinting();
    });
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("new"));
    kit->NewPage();
    EXPECT_THROW(kit->NewPage(), ECancelPrinting);

    EXPECT_FALSE(kit->TextFileOpen());
    EXPECT_FALSE(kit->IsPrinting());
    kit->EndDocument();
    EXPECT_EQ(Written(), QByteArray("previous contents"));
    EXPECT_TRUE(seam->Texts(QStringLiteral("message")).isEmpty());
    EXPECT_EQ(FolderEntries(), QStringList({QStringLiteral("out.txt")}));

    kit->SetOnNewPage({});
    kit->SetWSFileName(folder.filePath(QStringLiteral("again.txt")));
    kit->BeginDocument();
    kit->EndDocument();
    EXPECT_EQ(seam->Texts(QStringLiteral("message")).size(), 1);
}

TEST_F(VelloxTextFile, AFileThatCannotBeCreatedEndsTheRunClosed) {
    kit->SetWSFileName(folder.filePath(QStringLiteral("missing/folder/out.txt")));
    EXPECT_THROW(kit->BeginDocument(), EInOutError);
    EXPECT_FALSE(kit->Composing());
    EXPECT_FALSE(kit->TextFileOpen());
    kit->SetWSFileName(QString());
    EXPECT_THROW(kit->BeginDocument(), EInOutError);
    EXPECT_FALSE(kit->Composing());
}

TEST_F(VelloxTextFile, FileNameAndModeAreRefusedWhileTheFileIsOpen) {
    kit->BeginDocument();
    EXPECT_THROW(kit->SetWSFileName(QStringLiteral("other.txt")), EPagePrinter);
    EXPECT_THROW(kit->SetPrintToFile(false), EPagePrinter);
    EXPECT_THROW(kit->ClearContents(), EPagePrinter);
    kit->EndDocument();
    EXPECT_EQ(kit->WSFileName(), target);
}
}  // namespace
