#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "MainWindowFixture.h"
#include "platform/DbTestSupport.h"
#include "print/Printer.h"
#include "support/PdfTools.h"

namespace {
class PrintGridTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        pdf = temp.filePath(QStringLiteral("grid.pdf"));
        Printer().Select(TPrinterSelection::Pdf(300, pdf));
        OpenSqliteFile(shop.Path());
        ASSERT_TRUE(form->IsConnected());
        form->DBGridPrint1->SetShowProgress(false);
        seam->Clear();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        Printer().Select(TPrinterSelection::None());
    }
    void Run(const QString& sql) {
        form->Memo1->setPlainText(sql);
        form->ExecuteButton->click();
    }

    TestDatabaseFile shop{QStringLiteral(
        "CREATE TABLE items(id INTEGER PRIMARY KEY, name VARCHAR(30), price REAL);"
        "INSERT INTO items VALUES (1, 'pen', 1.5), (2, 'cup', 3983), (3, 'Bücher', 12.25);")};
    QString pdf;
};

TEST_F(PrintGridTest, TheAdapterIsSetUpAsTheWindowStoresIt) {
    TDBGridPrint* print = form->DBGridPrint1;
    EXPECT_EQ(print->objectName(), QStringLiteral("DBGridPrint1"));
    EXPECT_EQ(print->AsgnDBGrid(), form->DBGrid1);
    EXPECT_FALSE(print->isVisible());
    EXPECT_EQ(print->PrintTitle(), QStringLiteral("Quorva Table Print"));
    EXPECT_FALSE(print->PrintWYSIWYG());
    EXPECT_FALSE(print->UseRegistry());
    EXPECT_EQ(print->MeasureUnit(), muMillimeters);
    EXPECT_EQ(print->MarginTop(), 25);
    EXPECT_EQ(print->PageBorderOffset(), 1.5L);
    EXPECT_EQ(print->Font().family(), QStringLiteral("Arial"));
}

TEST_F(PrintGridTest, NothingToPrintIsSaid) {
    form->Button2->click();
    ASSERT_EQ(seam->Texts(QStringLiteral("error")).size(), 1);
    EXPECT_TRUE(seam->Texts(QStringLiteral("error"))[0].contains(QStringLiteral("closed dataset")));

    Run(QStringLiteral("SELECT * FROM items WHERE id < 0"));
    seam->Clear();
    form->Button2->click();
    EXPECT_EQ(seam->Texts(QStringLiteral("message")),
              QStringList{QStringLiteral("No lines, no print!")});
    EXPECT_TRUE(seam->printRequests.empty());
}

TEST_F(PrintGridTest, PrintsTheResultThroughThePrintDialog) {
    if (const QString missing = pdftools::Missing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    Run(QStringLiteral("SELECT * FROM items"));
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, false});
    form->Button2->click();
    EXPECT_TRUE(seam->Texts(QStringLiteral("error")).isEmpty());
    ASSERT_EQ(seam->printRequests.size(), 1u);
    EXPECT_EQ(seam->printRequests[0].maxPage, 1);
    const QString text = pdftools::Text(pdf);
    for (const char* expected : {"name", "price", "pen", "3983", "Bücher", "12.25"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_TRUE(pdftools::Info(pdf).contains(
        QRegularExpression(QStringLiteral("Title:\\s+Quorva Table Print"))));
    EXPECT_EQ(seam->Cursor(), crDefault);
}

TEST_F(PrintGridTest, ARunningPrintHoldsTheWindowAndRefusesANestedOne) {
    Run(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < 200) SELECT i, 'row ' || i FROM n"));
    TDBGridPrint* print = form->DBGridPrint1;
    print->SetShowProgress(true);
    bool modal = false, windowKept = false;
    TCursor cursor = crDefault;
    print->SetOnNewPage([&](QObject*) {
        if (print->PageNumber() != 2)
            return;
        modal = QApplication::activeModalWidget() == print->ProgressDialog();
        form->Button2->click();
        windowKept = print->ProgressDialog() != nullptr;
        cursor = seam->Cursor();
    });
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, false});
    form->Button2->click();
    EXPECT_TRUE(modal) << "the progress window must hold the rest of the program";
    EXPECT_TRUE(windowKept);
    EXPECT_EQ(cursor, crHourGlass);
    EXPECT_EQ(seam->Texts(QStringLiteral("error")),
              QStringList{QStringLiteral("Can't clear contents while printing.")});
    EXPECT_GE(print->PageCount(), 4);
    EXPECT_EQ(print->ProgressDialog(), nullptr);
    EXPECT_EQ(seam->Cursor(), crDefault);
    print->SetOnNewPage(nullptr);
}

TEST_F(PrintGridTest, TheGridsContextMenuExportsItToTheSpreadsheetOrToText) {
    // Stores without a spreadsheet program: the grid goes to the text file instead.
    qputenv("QUORVA_REGISTRY", temp.filePath(QStringLiteral("registry.reg")).toUtf8());
    qputenv("XDG_CONFIG_DIRS", temp.filePath(QStringLiteral("xdg")).toUtf8());
    Run(QStringLiteral("SELECT * FROM items"));
    ASSERT_TRUE(form->DBGrid1->actions().contains(form->ExportSheet1));
    const QString text = TCustomVellox::ProposedTextFileName(QCoreApplication::applicationDirPath(),
                                                             QDir::homePath());
    seam->AnswerSaveFile(temp.filePath(QStringLiteral("book.XLS")));
    form->ExportSheet1->trigger();
    QCoreApplication::sendPostedEvents(form->DBGridPrint1);
    qunsetenv("QUORVA_REGISTRY");
    qunsetenv("XDG_CONFIG_DIRS");

    EXPECT_TRUE(seam->Texts(QStringLiteral("error")).isEmpty());
    EXPECT_EQ(seam->Texts(QStringLiteral("message")),
              QStringList({QStringLiteral("Content exported to ") + text,
                           QStringLiteral("MS Excel not found or not available.\rExport was "
                                          "written to file \"Vellox.TXT\"")}));
    EXPECT_EQ(form->DBGridPrint1->WSFileName(), temp.filePath(QStringLiteral("book.XLS")));
}

TEST_F(PrintGridTest, TheWorkbookAskedAboutIsTheOneWritten) {
    Run(QStringLiteral("SELECT * FROM items"));
    const QString typed = temp.filePath(QStringLiteral("year.2024"));
    const QString workbook = temp.filePath(QStringLiteral("year.XLS"));
    const auto exportAs = [&] {
        seam->Clear();
        form->DBGridPrint1->SetWSFileName(QString());
        seam->AnswerSaveFile(typed);
        form->ExportSheet1->trigger();
        QCoreApplication::removePostedEvents(form->DBGridPrint1);
    };
    // A file of the name typed is not the one written: no question.
    QFile(typed).open(QIODevice::WriteOnly);
    exportAs();
    EXPECT_TRUE(seam->Texts(QStringLiteral("confirm")).isEmpty());
    EXPECT_EQ(form->DBGridPrint1->WSFileName(), typed);

    QFile(workbook).open(QIODevice::WriteOnly);
    seam->AnswerConfirm(false);
    exportAs();
    EXPECT_EQ(seam->Texts(QStringLiteral("confirm")),
              QStringList{"\"" + workbook +
                          "\" already exists.\rReplace it? The previous workbook "
                          "is kept as \"" +
                          temp.filePath(QStringLiteral("year.BAK")) + "\"."});
    EXPECT_EQ(form->DBGridPrint1->WSFileName(), QString());
}

TEST_F(PrintGridTest, TheGridsContextMenuReadsOnEveryOpening) {
    for (int opening = 1; opening <= 2; ++opening) {
        emit form->DBGrid1->customContextMenuRequested(QPoint(10, 10));
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr) << "opening " << opening;
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(menu)->child(0);
        ASSERT_NE(item, nullptr) << "opening " << opening;
        EXPECT_EQ(item->text(QAccessible::Name), QStringLiteral("Export to spreadsheet\u2026"))
            << "opening " << opening;
        menu->hide();
    }
}
}  // namespace
