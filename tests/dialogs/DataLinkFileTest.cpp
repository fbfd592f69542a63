#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "DialogTestSupport.h"
#include "core/Exception.h"
#include "db/connection/DataLinkFile.h"

namespace {
const QString kString = QStringLiteral("Provider=SQLite;Data Source=/data/caf\u00e9.db");

QByteArray Utf16Le(const QString& text, bool bom) {
    QByteArray bytes = bom ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

struct FileCase {
    const char* name;
    QByteArray bytes;
    QString expected;
};

class ReadDataLinkFileTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(ReadDataLinkFileTest, FindsTheConnectionString) {
    QTemporaryDir folder;
    const QString path = folder.filePath("link.udl");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().bytes);
    file.close();

    EXPECT_EQ(ReadDataLinkFile(path), GetParam().expected);
}

const QString kWindowsText =
    "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n" + kString + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Encodings, ReadDataLinkFileTest,
    ::testing::Values(FileCase{"WrittenByWindows", Utf16Le(kWindowsText, true), kString},
                      FileCase{"Utf16WithoutBom", Utf16Le(kWindowsText, false), kString},
                      FileCase{"Utf8WithHeader", kWindowsText.toUtf8(), kString},
                      FileCase{"Utf8WithBom", "\xEF\xBB\xBF" + kString.toUtf8(), kString},
                      FileCase{"Utf8StringAlone", kString.toUtf8() + "\n", kString},
                      FileCase{"BlankLinesBefore", "\n  \n" + kString.toUtf8(), kString},
                      FileCase{"OnlyTheHeader", Utf16Le("[oledb]\r\n; comment\r\n", true), ""},
                      FileCase{"Empty", QByteArray(), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadDataLinkFile, AFileThatCannotBeReadIsADatabaseError) {
    QTemporaryDir folder;
    for (const QString& path : {folder.filePath("missing.udl"), folder.path()}) {
        try {
            ReadDataLinkFile(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const EDatabaseError& error) {
            EXPECT_TRUE(error.Message().contains(path)) << error.what();
        }
    }
}
}  // namespace
