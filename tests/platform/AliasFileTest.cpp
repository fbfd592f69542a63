#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>

#include "AliasTestSupport.h"
#include "DbTestSupport.h"
#include "PostgresServer.h"
#include "core/Exception.h"
#include "db/components/AliasConnection.h"
#include "db/connection/ConnectionString.h"
#include "db/components/Session.h"

namespace {

QStringList AliasNames() {
    TSession session;
    QStringList names;
    session.GetAliasNames(names);
    return names;
}

QStringList TableNames(const QString& alias) {
    TSession session;
    session.Open();
    QStringList names;
    session.GetTableNames(alias, QStringLiteral("*"), false, false, names);
    return names;
}

// The message of the error that opening an alias raises; empty when it opens.
QString OpenError(const QString& alias) {
    try {
        TableNames(alias);
    } catch (const EDatabaseError& error) {
        return error.Message();
    }
    return {};
}

struct DriverCase {
    const char* name;
    QByteArray section;
    QString connection;  // "%F" stands for the alias file's folder
};

class AliasDrivers : public ::testing::TestWithParam<DriverCase> {};

TEST_P(AliasDrivers, BecomeTheConnectionStringOfTheirEngine) {
    ScopedAliasFile file;
    file.Write("[Shop]\n" + GetParam().section);
    const QString expected = QString(GetParam().connection).replace("%F", file.Folder());
    EXPECT_EQ(AliasResolver().ConnectionString(QStringLiteral("shop")), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, AliasDrivers,
    ::testing::Values(
        DriverCase{"SqliteFile", "Driver=SQLITE\nPath=/data/shop.db\n",
                   "Provider=SQLite;Data Source=/data/shop.db"},
        DriverCase{"DriverInLowerCase", "driver=sqlite\npath=/data/shop.db\n",
                   "Provider=SQLite;Data Source=/data/shop.db"},
        DriverCase{"RelativePathStartsAtTheAliasFile", "Driver=SQLITE\nPath=db/../shop.db\n",
                   "Provider=SQLite;Data Source=%F/shop.db"},
        DriverCase{"AccessFile", "Driver=ACCESS\nPath=/data/nwind.mdb\n",
                   "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/nwind.mdb"},
        DriverCase{"PostgresWithEveryKey",
                   "Driver=PGSQL\nHost=db.local\nPort=5433\nDatabase=shop\nUser=ann\n"
                   "Password=p;w\n",
                   "Provider=PostgreSQL;Host=db.local;Port=5433;Database=shop;User ID=ann;"
                   "Password=\"p;w\""},
        DriverCase{"PostgresWithDatabaseOnly", "Driver=PGSQL\nDatabase=shop\n",
                   "Provider=PostgreSQL;Database=shop"},
        DriverCase{"OdbcDataSource", "Driver=ODBC\nDSN=Shop Data\nDatabase=main\n",
                   "Provider=MSDASQL.1;Data Source=Shop Data;Initial Catalog=main"},
        DriverCase{"OdbcDataSourceOnly", "Driver=ODBC\nDSN=Shop\n",
                   "Provider=MSDASQL.1;Data Source=Shop"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AliasConnection, ValuesCannotSmuggleInOtherKeys) {
    const QString path = QStringLiteral("/data/a.db;Provider=PostgreSQL;Host=evil");
    const TIniSection alias{
        QStringLiteral("A"),
        {{QStringLiteral("Driver"), QStringLiteral("SQLITE")}, {QStringLiteral("Path"), path}}};
    const TConnectionString parsed =
        TConnectionString::Parse(AliasConnectionString(alias, QStringLiteral("/")));
    EXPECT_EQ(parsed.Value(QStringLiteral("Provider")), "SQLite");
    EXPECT_EQ(parsed.Value(QStringLiteral("Data Source")), path);
    EXPECT_FALSE(parsed.Has(QStringLiteral("Host")));
}

struct RefusalCase {
    const char* name;
    QByteArray section;
    QString message;
};

class AliasRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(AliasRefusals, OpeningNamesTheAliasAndTheProblem) {
    ScopedAliasFile file;
    file.Write("[Good]\nDriver=SQLITE\nPath=x.db\n[My Shop]\n" + GetParam().section);
    EXPECT_EQ(AliasNames(), (QStringList{"Good", "My Shop"}));
    EXPECT_EQ(OpenError(QStringLiteral("My Shop")),
              QStringLiteral("Alias \"My Shop\": ") + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, AliasRefusals,
    ::testing::Values(
        RefusalCase{"NoDriver", "Path=/data/shop.db\n",
                    "no Driver= given (use SQLITE, PGSQL, ODBC or ACCESS)"},
        RefusalCase{"UnknownDriver", "Driver=Paradox\nPath=/data\n",
                    "unknown driver \"Paradox\" (use SQLITE, PGSQL, ODBC or ACCESS)"},
        RefusalCase{"SqliteWithoutPath", "Driver=SQLITE\n", "the SQLITE driver needs Path="},
        RefusalCase{"AccessWithEmptyPath", "Driver=ACCESS\nPath=  \n",
                    "the ACCESS driver needs Path="},
        RefusalCase{"PostgresWithoutDatabase", "Driver=PGSQL\nHost=localhost\n",
                    "the PGSQL driver needs Database="},
        RefusalCase{"PostgresWithBadPort", "Driver=PGSQL\nDatabase=shop\nPort=54x\n",
                    "Port=54x is no port number"},
        RefusalCase{"PostgresWithPortOutOfRange", "Driver=PGSQL\nDatabase=shop\nPort=70000\n",
                    "Port=70000 is no port number"},
        RefusalCase{"OdbcWithoutDsn", "Driver=ODBC\nDatabase=main\n",
                    "the ODBC driver needs DSN="}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AliasFile, ListsReadableAliasesInFileOrderDespiteSyntaxErrors) {
    TestDatabaseFile database(QStringLiteral("CREATE TABLE t(x INTEGER);"));
    ScopedAliasFile file;
    file.Write(("garbage before any section\n"
                "[Zeta]\nDriver=SQLITE\nPath=" +
                database.Path() +
                "\n"
                "this line is no key\n"
                "[Broken\nDriver=SQLITE\nPath=/nowhere.db\n"
                "[Alpha]\nDriver=SQLITE\nPath=" +
                database.Path() + "\n")
                   .toUtf8());
    EXPECT_EQ(AliasNames(), (QStringList{"Zeta", "Alpha"}));
    EXPECT_EQ(TableNames(QStringLiteral("Zeta")), QStringList{"t"});
    EXPECT_EQ(TableNames(QStringLiteral("alpha")), QStringList{"t"});
}

TEST(AliasFile, FirstOfDuplicateNamesWins) {
    TestDatabaseFile first(QStringLiteral("CREATE TABLE first(x INTEGER);"));
    TestDatabaseFile second(QStringLiteral("CREATE TABLE second(x INTEGER);"));
    ScopedAliasFile file;
    file.Write(("[Shop]\nDriver=SQLITE\nPath=" + first.Path() + "\n[Other]\nDriver=PGSQL\n" +
                "Database=x\n[SHOP]\nDriver=SQLITE\nPath=" + second.Path() + "\n")
                   .toUtf8());
    EXPECT_EQ(AliasNames(), (QStringList{"Shop", "Other"}));
    EXPECT_EQ(TableNames(QStringLiteral("Shop")), QStringList{"first"});
    EXPECT_EQ(TableNames(QStringLiteral("shop")), QStringList{"first"});
}

TEST(AliasFile, NamesWithSpacesAndLettersBeyondAsciiOpen) {
    TestDatabaseFile database(QStringLiteral("CREATE TABLE kunden(x INTEGER);"), "bücher.db");
    ScopedAliasFile file;
    const QStringList names{"Kunden Daten", "Bücher ÆØÅ", "顧客 台帳"};
    QByteArray text = "\xEF\xBB\xBF";  // the byte order mark some editors write
    for (const QString& name : names)
        text +=
            QStringLiteral("[%1]\nDriver=SQLITE\nPath=%2\n").arg(name, database.Path()).toUtf8();
    file.Write(text);
    EXPECT_EQ(AliasNames(), names);
    for (const QString& name : names)
        EXPECT_EQ(TableNames(name), QStringList{"kunden"}) << name.toStdString();
}

TEST(AliasFile, IsReadAfreshEveryTime) {
    ScopedAliasFile file(QStringLiteral("/opt/sample.sqlite"));
    EXPECT_EQ(AliasNames(), QStringList{kSampleAlias});
    file.Write("[One]\nDriver=SQLITE\nPath=/a.db\n");
    EXPECT_EQ(AliasNames(), QStringList{"One"});
    file.Write("[One]\nDriver=SQLITE\nPath=/b.db\n[Two]\nDriver=ODBC\nDSN=x\n");
    EXPECT_EQ(AliasNames(), (QStringList{"One", "Two"}));
    EXPECT_EQ(AliasResolver().ConnectionString(QStringLiteral("One")),
              "Provider=SQLite;Data Source=/b.db");
    file.Write("");
    EXPECT_EQ(AliasNames(), QStringList());
    EXPECT_EQ(AliasResolver().ConnectionString(QStringLiteral("One")), std::nullopt);
    QFile::remove(file.Path());
    EXPECT_EQ(AliasNames(), QStringList{kSampleAlias});
}

TEST(AliasFile, UnknownAliasIsNamedByTheSession) {
    ScopedAliasFile file;
    file.Write("[One]\nDriver=SQLITE\nPath=/a.db\n");
    EXPECT_EQ(AliasResolver().ConnectionString(QStringLiteral("Two")), std::nullopt);
    EXPECT_TRUE(OpenError(QStringLiteral("Two")).contains("Two"));
}

TEST(AliasFile, ReadingNeverWritesTheFile) {
    TestDatabaseFile database(QStringLiteral("CREATE TABLE t(x INTEGER);"));
    ScopedAliasFile file;
    const QByteArray text = ("; hand-written, odd spacing kept\n[ Shop ]\r\nDriver = SQLITE\n"
                             "Path=" +
                             database.Path() + "\n[Broken\n[Bücher]\nDriver=X\n")
                                .toUtf8();
    file.Write(text);
    QFile::setPermissions(file.Path(), QFile::ReadOwner);
    const QDateTime modified = QFileInfo(file.Path()).lastModified();

    EXPECT_EQ(AliasNames(), (QStringList{"Shop", "Bücher"}));
    EXPECT_EQ(TableNames(QStringLiteral("Shop")), QStringList{"t"});
    EXPECT_FALSE(OpenError(QStringLiteral("Bücher")).isEmpty());

    QFile reread(file.Path());
    ASSERT_TRUE(reread.open(QIODevice::ReadOnly));
    EXPECT_EQ(reread.readAll(), text);
    EXPECT_EQ(QFileInfo(file.Path()).lastModified(), modified);
    EXPECT_EQ(QDir(file.Folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"aliases.ini"});
}

TEST(AliasFile, MissingFileAndFolderAreNotCreatedByReading) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorva/aliases.ini"));
    TAliasFile aliases(path, QStringLiteral("/opt/quorva-sample.sqlite"));
    EXPECT_EQ(aliases.AliasNames(), QStringList{kSampleAlias});
    EXPECT_EQ(aliases.ConnectionString(QLatin1String(kSampleAlias)),
              "Provider=SQLite;Data Source=/opt/quorva-sample.sqlite");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Quorva"))));
}

TEST(AliasFile, AFileThatCannotBeReadFailsTheListing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("aliases.ini"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("aliases.ini")));
    TAliasFile aliases(path, QStringLiteral("/opt/quorva-sample.sqlite"));
    try {
        aliases.AliasNames();
        FAIL() << "listed aliases of a folder";
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().startsWith("Cannot read the alias file " + path))
            << error.what();
    }
}

TEST(AliasFile, MissingDatabaseFileGivesTheDriversMessage) {
    ScopedAliasFile file;
    file.Write(
        "[Gone]\nDriver=SQLITE\nPath=gone.db\n[Gone Access]\nDriver=ACCESS\n"
        "Path=gone.mdb\n");
    const QString sqlite = OpenError(QStringLiteral("Gone"));
    EXPECT_TRUE(sqlite.contains(file.Folder() + "/gone.db")) << sqlite.toStdString();
    const QString access = OpenError(QStringLiteral("Gone Access"));
    EXPECT_TRUE(access.contains(file.Folder() + "/gone.mdb")) << access.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file.Folder() + "/gone.db"));
}

TEST(AliasFile, UnreachablePostgresServerGivesTheDriversMessage) {
    ScopedAliasFile file;
    // Nothing listens on port 1 of the loopback address, so the connection is refused at once.
    file.Write("[Remote]\nDriver=PGSQL\nHost=127.0.0.1\nPort=1\nDatabase=shop\nUser=ann\n");
    const QString message = OpenError(QStringLiteral("Remote"));
    EXPECT_TRUE(message.contains("127.0.0.1")) << message.toStdString();
}

TEST(AliasFile, PostgresAliasOpensARealServer) {
    PostgresServer server;
    if (const QString reason = server.Start(); !reason.isEmpty())
        GTEST_SKIP() << "no PostgreSQL server for this test: " << reason.toStdString();
    ScopedAliasFile file;
    file.Write(QStringLiteral("[Postgres Shop]\nDriver=PGSQL\nHost=%1\nPort=%2\nDatabase=postgres"
                              "\nUser=%3\n")
                   .arg(server.SocketDir())
                   .arg(PostgresServer::Port())
                   .arg(PostgresServer::User())
                   .toUtf8());
    TSession session;
    session.Open();
    session.Database(QStringLiteral("Postgres Shop"))
        .Execute(QStringLiteral("CREATE TABLE stock(item varchar(10))"));
    QStringList names;
    session.GetTableNames(QStringLiteral("Postgres Shop"), QStringLiteral("*"), false, false,
                          names);
    EXPECT_EQ(names, QStringList{"stock"});
}

}  // namespace
