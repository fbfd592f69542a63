#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "KitFixture.h"
#include "VelloxPrgDlg.h"
#include "support/PdfTools.h"

namespace {
// The sheet markers of a printed PDF in print order ("2" for a sheet showing "Sheet 2").
QStringList SheetsIn(const QString& pdf) {
    const QString text = pdftools::Text(pdf);
    QStringList sheets;
    const QStringList pages = text.split(QLatin1Char('\f'));
    static const QRegularExpression marker(QStringLiteral("Sheet (\\d+)"));
    for (qsizetype i = 0; i + 1 < pages.size(); ++i) {
        const QRegularExpressionMatch match = marker.match(pages[i]);
        sheets << (match.hasMatch() ? match.captured(1) : QStringLiteral("-"));
    }
    return sheets;
}

// Runs `action` each time the print run lets window messages through, that is once before
// every sheet it prints, with the number of that sheet (from 1).
class BetweenSheets {
  public:
    explicit BetweenSheets(std::function<void(int)> action) : action_(std::move(action)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { action_(++sheet_); });
        timer_.start();
    }
    int Seen() const { return sheet_; }

  private:
    QTimer timer_;
    std::function<void(int)> action_;
    int sheet_ = 0;
};

class VelloxPrint : public PdfKitTest {
  protected:
    void SetUp() override {
        PdfKitTest::SetUp();
        SetUpPdf(300);
    }

    // One page per sheet marker, "Sheet 1" to "Sheet n".
    void Compose(int pages) {
        kit->SetColumnLayout(QStringLiteral("<80"));
        kit->BeginDocument();
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                kit->NewPage();
            kit->WriteLine(QStringLiteral("Sheet %1").arg(page));
        }
        kit->EndDocument();
        ASSERT_EQ(kit->PageCount(), pages);
    }

    // Presses Stop in the progress window (or, before it exists, what it stands for) when
    // the run is about to print sheet `sheet`.
    std::unique_ptr<BetweenSheets> StopAt(int sheet) {
        return std::make_unique<BetweenSheets>([this, sheet](int current) {
            if (current != sheet)
                return;
            if (kit->ProgressDialog())
                kit->ProgressDialog()->btnCancel->click();
            else
                kit->CancelPrinting();
        });
    }
};

struct OrderCase {
    const char* name;
    int copies;
    bool collate;
    int from, to;
    const char* sheets;
};

class VelloxPrintOrder : public VelloxPrint, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(VelloxPrintOrder, PrintsTheRangeInCopyOrder) {
    const OrderCase& c = GetParam();
    Compose(3);
    kit->SetCopies(c.copies);
    kit->SetCollate(c.collate);
    kit->SetToPage(c.to);
    kit->SetFromPage(c.from);
    EXPECT_TRUE(kit->PrintPages());
    EXPECT_EQ(SheetsIn(pdf).join(QLatin1Char(' ')), QString::fromLatin1(c.sheets));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, VelloxPrintOrder,
    ::testing::Values(OrderCase{"AllPages", 1, true, 0, 0, "1 2 3"},
                      OrderCase{"CollatedCopies", 2, true, 1, 3, "1 2 3 1 2 3"},
                      OrderCase{"UncollatedCopies", 2, false, 1, 3, "1 1 2 2 3 3"},
                      OrderCase{"FromBeyondTheLastPage", 1, true, 5, 0, "3"},
                      OrderCase{"ToBeyondTheLastPage", 1, true, 2, 9, "2 3"},
                      OrderCase{"OnePageThreeTimes", 3, false, 2, 2, "2 2 2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VelloxPrint, PrintsAtTrueSizeWithTitleAndRestoresTheCopyCount) {
    Compose(2);
    kit->SetPrintTitle(QStringLiteral("Stock list"));
    kit->SetCopies(2);
    Printer().SetCopies(3);
    EXPECT_TRUE(kit->PrintPages());
    EXPECT_EQ(Printer().Copies(), 3);
    EXPECT_FALSE(Printer().Printing());
    const QString info = pdftools::Info(pdf);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Stock list\\n"))));
}

TEST_F(VelloxPrint, ProgressCountsCopiesAndClosesAtTheEnd) {
    Compose(3);
    kit->SetShowProgress(true);
    kit->SetCopies(2);
    kit->SetPrintTitle(QStringLiteral("Stock list"));
    QString label, status, caption;
    int maximum = 0;
    BetweenSheets watch([&](int sheet) {
        if (sheet != 6 || !kit->ProgressDialog())
            return;
        label = kit->ProgressDialog()->lblPageNumber->text();
        status = kit->ProgressDialog()->lblStatus->text();
        caption = kit->ProgressDialog()->windowTitle();
        maximum = kit->ProgressDialog()->ProgBar->maximum();
    });
    EXPECT_TRUE(kit->PrintPages());
    // Sheet 6 is about to print: the window still shows the fifth, page 2 of the second copy.
    EXPECT_EQ(label, QStringLiteral("Page 2 of 3 x 2 Copies"));
    EXPECT_EQ(status, QStringLiteral("Sending to printer"));
    EXPECT_EQ(caption, QStringLiteral("Stock list"));
    EXPECT_EQ(maximum, 6);
    EXPECT_EQ(kit->ProgressDialog(), nullptr);
}

struct StopCase {
    const char* name;
    int stopBefore;  // the sheet about to print when Stop is pressed
    bool abortOnCancel;
    int printedSheets;  // -1: no file at all
};

class VelloxPrintStop : public VelloxPrint, public ::testing::WithParamInterface<StopCase> {};

TEST_P(VelloxPrintStop, StopsAtThePageBoundary) {
    const StopCase& c = GetParam();
    Compose(3);
    kit->SetShowProgress(true);
    kit->SetAbortOnCancel(c.abortOnCancel);
    Printer().SetCopies(4);
    const auto stop = StopAt(c.stopBefore);
    EXPECT_FALSE(kit->PrintPages());

    EXPECT_FALSE(Printer().Printing());
    EXPECT_EQ(Printer().Copies(), 4);
    EXPECT_EQ(kit->ProgressDialog(), nullptr);
    EXPECT_FALSE(kit->SendingPages());
    if (c.printedSheets < 0) {
        EXPECT_FALSE(QFile::exists(pdf));
    } else {
        QStringList expected;
        for (int sheet = 1; sheet <= c.printedSheets; ++sheet)
            expected << QString::number(sheet);
        EXPECT_EQ(SheetsIn(pdf), expected);
    }
    // Nothing is left behind in the folder but the printed file.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), c.printedSheets < 0 ? 0 : 1);

    // The kit prints again afterwards.
    EXPECT_TRUE(kit->PrintPages());
    EXPECT_EQ(SheetsIn(pdf).size(), 3);
}

INSTANTIATE_TEST_SUITE_P(Moments, VelloxPrintStop,
                         ::testing::Values(StopCase{"BeforeTheFirstPageEnding", 1, false, -1},
                                           StopCase{"BeforeTheFirstPageAborting", 1, true, -1},
                                           StopCase{"MidRunEnding", 2, false, 1},
                                           StopCase{"MidRunAborting", 2, true, -1},
                                           StopCase{"OnTheLastPageEnding", 3, false, 2},
                                           StopCase{"OnTheLastPageAborting", 3, true, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VelloxPrint, AnAbortedRunKeepsThePreviousFile) {
    Compose(3);
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous");
    old.close();
    kit->SetShowProgress(true);
    kit->SetAbortOnCancel(true);
    const auto stop = StopAt(3);
    EXPECT_FALSE(kit->PrintPages());
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("previous"));
}

TEST_F(VelloxPrint, WithoutCancelTheRunCannotBeStopped) {
    Compose(3);
    kit->SetShowProgress(true);
    kit->SetShowCancel(false);
    const auto stop = StopAt(1);
    EXPECT_TRUE(kit->PrintPages());
    EXPECT_EQ(SheetsIn(pdf).size(), 3);
}

TEST_F(VelloxPrint, PagesStayWhileTheyArePrinted) {
    Compose(3);
    kit->SetShowProgress(true);
    QStringList refusals;
    BetweenSheets meddle([&](int sheet) {
        if (sheet != 2)
            return;
        const std::function<void()> attempts[] = {
            [&] { kit->ClearContents(); }, [&] { kit->BeginDocument(); },
            [&] { kit->PrintPages(); }, [&] { kit->Print(); }};
        for (const auto& attempt : attempts) {
            try {
                attempt();
            } catch (const EPagePrinter& error) {
                refusals << error.Message();
            }
        }
    });
    EXPECT_TRUE(kit->PrintPages());
    EXPECT_EQ(refusals,
              QStringList({QStringLiteral("Can't clear contents while the pages are being printed"),
                           QStringLiteral("Can't compose the document again while its pages are "
                                          "being printed"),
                           QStringLiteral("The pages are being printed already"),
                           QStringLiteral("The pages are being printed already")}));
    // Refused before its dialog: nothing was asked.
    EXPECT_TRUE(seam->shown.empty());
    EXPECT_EQ(SheetsIn(pdf), QStringList({"1", "2", "3"}));
    EXPECT_EQ(kit->PageCount(), 3);
    kit->ClearContents();
    EXPECT_EQ(kit->PageCount(), 0);
}

TEST_F(VelloxPrint, APrinterFailureEndsTheJobAndRestoresThePrinter) {
    Compose(3);
    kit->SetShowProgress(true);
    Printer().SetCopies(2);
    // The job breaks under the run: its next sheet cannot be started.
    BetweenSheets breakJob([](int sheet) {
        if (sheet == 2)
            Printer().Abort();
    });
    EXPECT_THROW(kit->PrintPages(), EPrinter);
    EXPECT_FALSE(Printer().Printing());
    EXPECT_EQ(Printer().Copies(), 2);
    EXPECT_EQ(kit->ProgressDialog(), nullptr);
    EXPECT_FALSE(kit->SendingPages());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(VelloxPrint, AnUnwritableDestinationFailsBeforeAnyPage) {
    Compose(1);
    Printer().Select(TPrinterSelection::Pdf(300, folder.filePath(QStringLiteral("no/such.pdf"))));
    Printer().SetCopies(2);
    try {
        kit->PrintPages();
        FAIL() << "printing into a missing folder succeeded";
    } catch (const EPrinter& error) {
        EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Unable to write in ")))
            << error.Message().toStdString();
    }
    EXPECT_EQ(Printer().Copies(), 2);
    EXPECT_FALSE(kit->SendingPages());
}

TEST_F(VelloxPrint, PrintsNothingWithoutPagesOrPrinter) {
    EXPECT_TRUE(kit->PrintPages());
    EXPECT_FALSE(QFile::exists(pdf));
    kit->Print();
    EXPECT_EQ(seam->Texts(QStringLiteral("information")),
              QStringList{QStringLiteral("No kontent for printing")});
    EXPECT_TRUE(seam->printRequests.empty());

    Compose(1);
    SelectPrinter("none");
    EXPECT_THROW(kit->PrintPages(), EPrinter);
}

// The print dialog: range and destination.
TEST_F(VelloxPrint, TheDialogOffersAllPagesAndItsRangesChooseThePages) {
    Compose(3);
    kit->SetPageNumber(2);
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, false});
    kit->Print();
    ASSERT_EQ(seam->printRequests.size(), 1u);
    const TPrintDialogRequest& request = seam->printRequests[0];
    EXPECT_EQ(request.device, Printer().Device());
    EXPECT_EQ(std::tuple(request.minPage, request.maxPage, request.fromPage, request.toPage),
              std::tuple(1, 3, 1, 3));
    EXPECT_TRUE(request.offerTextFile);
    EXPECT_EQ(SheetsIn(pdf), QStringList({"1", "2", "3"}));

    seam->AnswerPrintDialog(TPrintDialogAnswer{prSelection, 0, 0, false});
    kit->Print();
    EXPECT_EQ(SheetsIn(pdf), QStringList{"2"});

    seam->AnswerPrintDialog(TPrintDialogAnswer{prPageNums, 2, 7, false});
    kit->Print();
    EXPECT_EQ(SheetsIn(pdf), QStringList({"2", "3"}));
    EXPECT_EQ(std::pair(kit->FromPage(), kit->ToPage()), std::pair(2, 7));

    QFile::remove(pdf);
    seam->AnswerPrintDialog(std::optional<TPrintDialogAnswer>());
    kit->Print();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(seam->Texts(QStringLiteral("information")).isEmpty());
}

TEST_F(VelloxPrint, AStoppedPrintIsReportedAsCancelled) {
    Compose(3);
    kit->SetShowProgress(true);
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, false});
    const auto stop = StopAt(2);
    kit->Print();
    EXPECT_EQ(seam->Texts(QStringLiteral("information")),
              QStringList{QStringLiteral("Printing cancelled")});
}

TEST_F(VelloxPrint, WithoutPrinterTheDialogPrintsIntoAPdfFileOfTheComposedPaper) {
    SelectPrinter("none");
    for (const auto& [unit, paper] :
         {std::pair(muMillimeters, "(A4)"), std::pair(muInches, "(letter)")}) {
        kit = std::make_unique<TCustomVellox>();
        kit->SetShowProgress(false);
        kit->SetMeasureUnit(unit);
        Compose(2);
        const QString file = folder.filePath(QStringLiteral("chosen.pdf"));
        QFile::remove(file);
        seam->AnswerPrintDialog([&](QPrinter& device) {
            EXPECT_EQ(device.outputFormat(), QPrinter::PdfFormat);
            EXPECT_EQ(device.resolution(), 300);
            device.setOutputFileName(file);
            return std::optional(TPrintDialogAnswer{prAllPages, 0, 0, false});
        });
        kit->Print();
        EXPECT_EQ(SheetsIn(file), QStringList({"1", "2"}));
        const QString info = pdftools::Info(file);
        EXPECT_TRUE(info.contains(QString::fromLatin1(paper), Qt::CaseInsensitive))
            << info.toStdString();
        EXPECT_FALSE(Printer().Available());
    }
}

// The dialog's "print to text file": the document is composed again while its rows are
// collected, as the grid adapter does.
class RowKit : public TCustomVellox {
  public:
    using TCustomVellox::TCustomVellox;

    QStringList rows = {QStringLiteral("a|b"), QStringLiteral("c|d")};
    int regenerations = 0;
    bool stopAfterFirstRow = false;

  protected:
    void VelloxMessage(TVelloxMessage message) override {
        if (message != WM_REGENERATE)
            return;
        ++regenerations;
        SetTableGrid(false);
        BeginDocument();
        for (const QString& row : rows) {
            WriteLine(row);
            if (ExportingLines())
                Lines().append(QString(row).replace(QLatin1Char('|'), QLatin1Char('\t')));
            if (stopAfterFirstRow)
                throw ECancelPrinting(QStringLiteral("Printing cancelled"));
        }
        EndDocument();
    }
};

// Counts the kit's messages that reach its parent.
class ParentWindow : public QWidget {
  public:
    int regenerations = 0;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Type(WM_REGENERATE))
            ++regenerations;
        return QWidget::event(event);
    }
};

class VelloxTextOutput : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        SelectPrinter("none");
        rowKit = new RowKit(&parent);
        rowKit->SetShowProgress(false);
        rowKit->BeginDocument();
        rowKit->WriteLine(QStringLiteral("x|y"));
        rowKit->EndDocument();
        // The text output turns composition into a file off for good.
        rowKit->SetPrintToFile(true);
        target = folder.filePath(QStringLiteral("rows.txt"));
    }

    QByteArray Saved(const QString& file) const {
        QFile saved(file);
        return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray("<missing>");
    }

    void ExpectCleanedUp() {
        EXPECT_FALSE(rowKit->ExportingLines());
        EXPECT_TRUE(rowKit->TableGrid());
        EXPECT_FALSE(rowKit->PrintToFile());
        EXPECT_EQ(seam->Cursor(), crDefault);
        QCoreApplication::sendPostedEvents(&parent);
        EXPECT_EQ(parent.regenerations, 1);
    }

    ParentWindow parent;
    RowKit* rowKit = nullptr;
    QTemporaryDir folder;
    QString target;
};

TEST_F(VelloxTextOutput, SavesTheRowsOfTheRecomposedDocument) {
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
    seam->AnswerInput(target);
    rowKit->Print();

    EXPECT_EQ(Saved(target), QByteArray("a\tb\r\nc\td\r\n"));
    EXPECT_EQ(rowKit->regenerations, 1);
    const QString proposed = TCustomVellox::ProposedTextFileName(
        QCoreApplication::applicationDirPath(), QDir::homePath());
    ASSERT_EQ(seam->shown.size(), 3u);
    EXPECT_EQ(seam->shown[1].caption, QStringLiteral("Define filename"));
    EXPECT_EQ(seam->shown[1].text, QStringLiteral("Name:=") + proposed);
    EXPECT_EQ(seam->Texts(QStringLiteral("message")),
              QStringList{QStringLiteral("Content saved in file ") + target});
    EXPECT_EQ(seam->cursorHistory, std::vector<TCursor>({crHourGlass, crDefault}));
    // The document was composed again as pages.
    EXPECT_EQ(rowKit->PageCount(), 1);
    ExpectCleanedUp();
}

TEST_F(VelloxTextOutput, CancelInTheNameBoxEndsTheExport) {
    const QString proposed = TCustomVellox::ProposedTextFileName(
        QCoreApplication::applicationDirPath(), QDir::homePath());
    QFile::remove(proposed);
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
    seam->AnswerInput(std::nullopt);
    rowKit->Print();
    EXPECT_FALSE(QFile::exists(proposed));
    EXPECT_EQ(rowKit->regenerations, 0);
    EXPECT_TRUE(seam->Texts(QStringLiteral("message")).isEmpty());
    EXPECT_TRUE(seam->cursorHistory.empty());
}

TEST_F(VelloxTextOutput, AStopWhileComposingSavesNothing) {
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old rows\r\n");
    }
    rowKit->stopAfterFirstRow = true;
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
    seam->AnswerInput(target);
    EXPECT_THROW(rowKit->Print(), ECancelPrinting);
    EXPECT_EQ(Saved(target), QByteArray("old rows\r\n"));
    EXPECT_TRUE(seam->Texts(QStringLiteral("message")).isEmpty());
    EXPECT_FALSE(rowKit->IsPrinting());
    ExpectCleanedUp();
}

TEST_F(VelloxTextOutput, AnUnwritableTargetFailsCleanlyAndKeepsTheOldFile) {
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
    seam->AnswerInput(folder.filePath(QStringLiteral("missing/rows.txt")));
    EXPECT_THROW(rowKit->Print(), EInOutError);
    EXPECT_TRUE(seam->Texts(QStringLiteral("message")).isEmpty());
    ExpectCleanedUp();

    // A target that is a folder cannot be replaced; it stays what it was.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("taken")));
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
    seam->AnswerInput(folder.filePath(QStringLiteral("taken")));
    EXPECT_THROW(rowKit->Print(), EInOutError);
    EXPECT_TRUE(QFileInfo(folder.filePath(QStringLiteral("taken"))).isDir());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 0);
}

TEST(VelloxTextFileName, ProposesTheProgramFolderOrElseHome) {
    QTemporaryDir program;
    EXPECT_EQ(TCustomVellox::ProposedTextFileName(program.path(), QStringLiteral("/home/u")),
              program.filePath(QStringLiteral("Vellox.TXT")));
    EXPECT_EQ(TCustomVellox::ProposedTextFileName(program.filePath(QStringLiteral("gone")),
                                                  QStringLiteral("/home/u")),
              QStringLiteral("/home/u/Vellox.TXT"));
}
}  // namespace
