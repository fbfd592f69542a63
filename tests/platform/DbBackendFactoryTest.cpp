#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "DbTestSupport.h"
#include "core/Exception.h"
#include "db/DbBackend.h"

namespace {

QString ErrorOf(const QString& connectionString) {
    try {
        auto backend = CreateBackend(TConnectionString::Parse(connectionString));
        backend->Open(std::nullopt);
    } catch (const EDatabaseError& error) {
        return error.Message();
    }
    return QStringLiteral("(no error)");
}

TEST(BackendFactory, JetProviderOpensAnSqliteFileByItsHeaderWhateverItsName) {
    TestDatabaseFile file(QStringLiteral("CREATE TABLE t(a INTEGER);"), QStringLiteral("data.mdb"));
    auto backend = CreateBackend(TConnectionString::Parse(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1").arg(file.Path())));
    backend->Open(std::nullopt);
    EXPECT_EQ(backend->TableNames(), QStringList{QStringLiteral("t")});
}

TEST(BackendFactory, JetProviderRefusesATextFile) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("notes.mdb"), "just some text\n");
    EXPECT_TRUE(ErrorOf(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path)
                    .contains(QStringLiteral("not a database")));
}

struct MissingFileCase {
    const char* name;
    const char* provider;
};

class MissingDatabaseFile : public ::testing::TestWithParam<MissingFileCase> {};

TEST_P(MissingDatabaseFile, IsRefusedAndNeverCreated) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("absent.db"));
    const QString error =
        ErrorOf(QStringLiteral("Provider=%1;Data Source=%2").arg(GetParam().provider, path));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Cases, MissingDatabaseFile,
                         ::testing::Values(MissingFileCase{"Jet", "Microsoft.Jet.OLEDB.4.0"},
                                           MissingFileCase{"Sqlite", "SQLite"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BackendFactory, SqliteProviderRefusesAFileThatIsNoDatabase) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("plain.db"), QByteArray(4096, 'x'));
    EXPECT_TRUE(ErrorOf(QStringLiteral("Provider=sqlite;Data Source=") + path)
                    .contains(QStringLiteral("not a database")));
}

struct ProviderErrorCase {
    const char* name;
    const char* connectionString;
    const char* says;
};

class ProviderErrors : public ::testing::TestWithParam<ProviderErrorCase> {};

TEST_P(ProviderErrors, NameWhatIsWrong) {
    const QString error = ErrorOf(QString::fromUtf8(GetParam().connectionString));
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().says))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProviderErrors,
    ::testing::Values(
        ProviderErrorCase{"NoProviderMeansOdbc", "Data Source=x.db", "ODBC data source 'x.db'"},
        ProviderErrorCase{"OdbcDsnWithoutProvider", "DSN=NoSuchDsn;UID=ann", "NoSuchDsn"},
        ProviderErrorCase{"OdbcDsnKey", "Provider=MSDASQL;DSN=NoSuchDsnKey", "NoSuchDsnKey"},
        ProviderErrorCase{"OdbcNothingNamed", "Provider=MSDASQL.1;UID=ann", "DSN or Data Source"},
        ProviderErrorCase{"UnknownProvider", "Provider=SQLOLEDB.1;Data Source=x", "SQLOLEDB.1"},
        ProviderErrorCase{"SqliteWithoutFile", "Provider=SQLite", "Data Source"},
        ProviderErrorCase{"JetWithoutFile", "Provider=Microsoft.Jet.OLEDB.4.0", "Data Source"},
        ProviderErrorCase{"UnknownOdbcDataSource", "Provider=MSDASQL.1;Data Source=NoSuchDsnHere",
                          "NoSuchDsnHere"},
        ProviderErrorCase{"UnknownOracleDataSource", "Provider=MSDAORA.1;Data Source=NoSuchOracle",
                          "NoSuchOracle"},
        ProviderErrorCase{"PostgresBadPort", "Provider=PostgreSQL;Host=localhost;Port=abc", "abc"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
