#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QFile>
#include <functional>
#include <ostream>

#include "MainWindowFixture.h"
#include "core/Exception.h"
#include "db/components/ADOConnection.h"
#include "db/connection/AliasFile.h"
#include "registry/Registry.h"

// Files named by the user or the environment are regular files of a sensible size: a FIFO, a
// device, a folder or a huge file is refused at once with the reason, never waited on or read
// without end.
namespace {

class OutsideFile;
struct ReaderCase {
    const char* name;
    // Reads `path` the way the program does; gives the error shown.
    std::function<QString(OutsideFile& test, const QString& path)> read;
};

struct FileCase {
    const char* name;
    std::function<QString(const QTemporaryDir& folder)> make;
    const char* reason;
};

void PrintTo(const ReaderCase& c, std::ostream* out) {
    *out << c.name;
}
void PrintTo(const FileCase& c, std::ostream* out) {
    *out << c.name;
}

QString ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& error) {
        return error.Message();
    }
    return {};
}

class OutsideFile : public MainWindowTest,
                    public ::testing::WithParamInterface<std::tuple<ReaderCase, FileCase>> {
  public:
    // For the readers' table.
    using MainWindowTest::form;
    using ScriptedSeamTest::seam;
};

TEST_P(OutsideFile, IsRefusedAtOnceWithTheReason) {
    const auto& [reader, file] = GetParam();
    const QString path = file.make(temp);
    ASSERT_FALSE(path.isEmpty());
    const QString error = reader.read(*this, path);
    EXPECT_TRUE(error.contains(path) && error.contains(QString::fromUtf8(file.reason)))
        << error.toStdString();
}

const ReaderCase kReaders[] = {
    {"LoadSqlFile",
     [](OutsideFile& test, const QString& path) {
         test.form->Memo1->setPlainText(QStringLiteral("SELECT 1"));
         test.seam->AnswerOpenFile(path);
         test.form->Button4->click();
         EXPECT_EQ(test.form->Memo1->toPlainText(), QStringLiteral("SELECT 1"));
         return test.seam->Texts(QStringLiteral("error")).join('|');
     }},
    {"DataLinkFile",
     [](OutsideFile&, const QString& path) {
         TADOConnection connection;
         connection.SetLoginPrompt(false);
         connection.SetConnectionString(QStringLiteral("FILE NAME=") + path);
         return ErrorOf([&] { connection.Open(); });
     }},
    {"AliasFile",
     [](OutsideFile&, const QString& path) {
         return ErrorOf([&] { TAliasFile(path, {}).AliasNames(); });
     }},
    {"SettingsStore",
     [](OutsideFile&, const QString& path) {
         TRegistry registry(path);
         return ErrorOf([&] { registry.OpenKey(QStringLiteral("Software\\Mine"), false); });
     }},
};

const FileCase kFiles[] = {
    {"Fifo",
     [](const QTemporaryDir& folder) {
         const QString path = folder.filePath(QStringLiteral("pipe"));
         return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
     },
     "Not a regular file"},
    {"DevZero", [](const QTemporaryDir&) { return QStringLiteral("/dev/zero"); },
     "Not a regular file"},
    {"Folder", [](const QTemporaryDir& folder) { return folder.path(); }, "Not a regular file"},
    {"TooLarge",
     [](const QTemporaryDir& folder) {
         const QString path = folder.filePath(QStringLiteral("huge"));
         QFile file(path);
         return file.open(QIODevice::WriteOnly) && file.resize(65 * 1024 * 1024) ? path : QString();
     },
     "Larger than 64 MB"},
};

INSTANTIATE_TEST_SUITE_P(Readers, OutsideFile,
                         ::testing::Combine(::testing::ValuesIn(kReaders),
                                            ::testing::ValuesIn(kFiles)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

}  // namespace
