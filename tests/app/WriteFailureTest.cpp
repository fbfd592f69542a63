#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <cstring>
#include <functional>
#include <ostream>

#include "DBGridPrt.h"
#include "MainWindowFixture.h"
#include "WorkbookWriter.h"
#include "core/Exception.h"
#include "printkit/KitFixture.h"

// Every file the program writes, written to a disk that fills up on the way: the previous file
// stays byte for byte, no temporary file is left beside it, the error names the file and the
// cause, and nothing says it succeeded.
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A settings store with a key of the user's own, larger than what is left on the disk.
QByteArray PreviousStore() {
    return "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Mine]\r\n\"Note\"=\"" +
           QByteArray(6000, 'k') + "\"\r\n";
}

class WriteFailure;
struct WriterCase {
    const char* name;
    // Writes `path` the way the user does; gives what the program said went wrong.
    std::function<QString(WriteFailure& test, const QString& path)> write;
};

struct SpaceCase {
    const char* name;
    qint64 freeBytes;
};

void PrintTo(const WriterCase& c, std::ostream* out) {
    *out << c.name;
}
void PrintTo(const SpaceCase& c, std::ostream* out) {
    *out << c.name;
}

class WriteFailure : public MainWindowTest,
                     public ::testing::WithParamInterface<std::tuple<WriterCase, SpaceCase>> {
  public:
    // For the writers' table.
    using MainWindowTest::form;
    using ScriptedSeamTest::seam;

    void SetUp() override {
        MainWindowTest::SetUp();
        savedPrinter_ = qgetenv(TPrinterSelection::kVariable);
        SelectPrinter("none");
        disk_ = temp.filePath(QStringLiteral("disk"));
        QDir().mkpath(disk_);
        if (::mount("tmpfs", QFile::encodeName(disk_).constData(), "tmpfs", 0, "size=256k") != 0)
            GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root): "
                         << std::strerror(errno);
        mounted_ = true;
        // Rows enough to fill more than what is left on the disk, in any database.
        OpenSqliteFile(QStringLiteral(QUORVA_SAMPLE_DATABASE));
        ASSERT_TRUE(form->IsConnected());
        form->Memo1->setPlainText(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
            "SELECT i, 'item ' || i AS name FROM n"));
        form->ExecuteButton->click();
        seam->Clear();
    }
    void TearDown() override {
        if (mounted_)
            ::umount2(QFile::encodeName(disk_).constData(), MNT_DETACH);
        SelectPrinter(savedPrinter_);
        MainWindowTest::TearDown();
    }

    // Fills the disk until `bytes` are left.
    void LeaveFree(qint64 bytes) {
        struct statvfs disk {};
        ASSERT_EQ(::statvfs(QFile::encodeName(disk_).constData(), &disk), 0);
        const qint64 free = qint64(disk.f_bavail) * qint64(disk.f_frsize);
        QFile filler(disk_ + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        ASSERT_EQ(filler.write(QByteArray(free - bytes, 'f')), free - bytes);
    }

    QStringList Said(const char* kind) const { return seam->Texts(QString::fromUtf8(kind)); }

    QString disk_;

  private:
    bool mounted_ = false;
    QByteArray savedPrinter_;
};

TEST_P(WriteFailure, KeepsThePreviousFileAndSaysWhy) {
    const auto& [writer, space] = GetParam();
    const QString path = disk_ + QStringLiteral("/target");
    {
        QFile previous(path);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write(PreviousStore());
    }
    LeaveFree(space.freeBytes);

    const QString error = writer.write(*this, path);

    EXPECT_TRUE(error.contains(QStringLiteral("No space left on device")) && error.contains(path))
        << error.toStdString();
    const QByteArray kept = ReadAll(path);
    EXPECT_TRUE(kept == PreviousStore()) << "the file holds " << kept.size() << " bytes, not the "
                                         << PreviousStore().size() << " it held";
    EXPECT_EQ(QDir(disk_).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("filler"), QStringLiteral("target")}));
    EXPECT_TRUE(Said("message").isEmpty()) << Said("message").join('|').toStdString();
}

const WriterCase kWriters[] = {
    {"SaveGrid",
     [](WriteFailure& test, const QString& path) {
         test.seam->AnswerSaveFile(path);
         test.form->Button5->click();
         return test.Said("error").join('|');
     }},
    {"PrintToTextFile",
     [](WriteFailure& test, const QString& path) {
         test.seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
         test.seam->AnswerInput(path);
         test.form->Button2->click();
         return test.Said("error").join('|');
     }},
    {"PrintToPdfFile",
     [](WriteFailure& test, const QString& path) {
         test.seam->AnswerPrintDialog([path](QPrinter& device) {
             device.setOutputFileName(path);
             return std::optional<TPrintDialogAnswer>(TPrintDialogAnswer{});
         });
         test.form->Button2->click();
         return test.Said("error").join('|');
     }},
    {"ComposeToTextFile",
     [](WriteFailure& test, const QString& path) {
         TDBGridPrint& kit = *test.form->DBGridPrint1;
         kit.SetWSFileName(path);
         kit.SetPrintToFile(true);
         try {
             kit.BuildFromGrid();
         } catch (const Exception& error) {
             return error.Message();
         }
         return test.Said("error").join('|');
     }},
    {"RegisterSheetServer",
     [](WriteFailure&, const QString& path) {
         QProcess server;
         QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
         environment.insert(QStringLiteral("QUORVA_REGISTRY"), path);
         server.setProcessEnvironment(environment);
         server.start(QStringLiteral(QUORVA_SHEETSERVER), {QStringLiteral("--register")});
         EXPECT_TRUE(server.waitForFinished(60000));
         const QString said = QString::fromUtf8(server.readAllStandardOutput());
         EXPECT_NE(server.exitCode(), 0);
         EXPECT_FALSE(said.contains(QStringLiteral("Registered"))) << said.toStdString();
         return said;
     }},
    {"Workbook",
     [](WriteFailure&, const QString& path) {
         TSheetModel sheet;
         for (int row = 1; row <= 300; ++row)
             sheet.cells[{row, 1}].content = QStringLiteral("row %1 of the workbook").arg(row);
         return WriteWorkbook(sheet, path);
     }},
};

const SpaceCase kSpaces[] = {{"DiskFull", 0}, {"FourKilobytesFree", 4096}};

INSTANTIATE_TEST_SUITE_P(Writers, WriteFailure,
                         ::testing::Combine(::testing::ValuesIn(kWriters),
                                            ::testing::ValuesIn(kSpaces)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

}  // namespace
