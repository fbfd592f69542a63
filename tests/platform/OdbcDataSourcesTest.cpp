#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "db/access/AccessBackend.h"
#include "db/connection/OdbcDataSources.h"
#include "support/SharedData.h"

namespace {

class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const QString& value)
        : name_(name), previous_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnvironment() {
        if (had_)
            qputenv(name_, previous_);
        else
            qunsetenv(name_);
    }

  private:
    const char* name_;
    QByteArray previous_;
    bool had_;
};

void WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A machine with the Debian MDB Tools driver, the data source the ADO chooser names, and a
// user file of its own, all in a temporary folder.
class OdbcDataSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        WriteFile(dir.filePath("odbcinst.ini"),
                  "[ODBC]\nTrace=No\n\n"
                  "[MDBTools]\nDescription=MDBTools Driver\nDriver=libmdbodbc.so\n"
                  "Setup=libmdbodbc.so\n\n"
                  "[Access Files]\nDriver = /usr/lib/x86_64-linux-gnu/odbc/libmdbodbc.so\n\n"
                  "[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n");
        WriteFile(dir.filePath("odbc.ini"),
                  "; system data sources\n"
                  "[MS Access 97 Database]\nDescription = Northwind\nDriver = MDBTools\n"
                  "Database = " +
                      dir.filePath("nwind.mdb").toUtf8() +
                      "\n\n"
                      "[Warehouse]\nDriver=PostgreSQL Unicode\nDatabase=system\n");
        WriteFile(dir.filePath("user.ini"),
                  "[Warehouse]\nDriver=PostgreSQL Unicode\nDatabase=mine\n\n"
                  "[Archive]\nDriver=Access Files\nDatabase=/data/archive.mdb\n");
    }

    QTemporaryDir dir;
    ScopedEnvironment system{"ODBCSYSINI", dir.path()};
    ScopedEnvironment user{"ODBCINI", dir.filePath("user.ini")};
};

TEST_F(OdbcDataSourcesTest, ListsUserThenSystemSourcesOnce) {
    QStringList names, drivers;
    for (const TOdbcDataSource& source : OdbcDataSources()) {
        names << source.Name;
        drivers << source.Driver;
    }
    EXPECT_EQ(names, QStringList({"Warehouse", "Archive", "MS Access 97 Database"}));
    EXPECT_EQ(drivers, QStringList({"PostgreSQL Unicode", "Access Files", "MDBTools"}));
    EXPECT_EQ(OdbcDataSources().last().Description, QStringLiteral("Northwind"));
}

TEST_F(OdbcDataSourcesTest, AttributesComeFromTheFileThatDefinesTheSource) {
    EXPECT_EQ(OdbcDataSourceAttribute("MS Access 97 Database", "Database"),
              dir.filePath("nwind.mdb"));
    EXPECT_EQ(OdbcDataSourceAttribute("ms access 97 database", "driver"),
              QStringLiteral("MDBTools"));
    EXPECT_EQ(OdbcDataSourceAttribute("Warehouse", "Database"), QStringLiteral("mine"));
    EXPECT_EQ(OdbcDataSourceAttribute("Warehouse", "Port"), QString());
    EXPECT_EQ(OdbcDataSourceAttribute("Oracle Database", "Database"), QString());
}

TEST_F(OdbcDataSourcesTest, ChangedEnvironmentIsSeenAtOnce) {
    QTemporaryDir other;
    WriteFile(other.filePath("odbc.ini"), "[Elsewhere]\nDriver=MDBTools\n");
    const ScopedEnvironment moved("ODBCSYSINI", other.path());
    const ScopedEnvironment noUser("ODBCINI", other.filePath("none.ini"));
    ASSERT_EQ(OdbcDataSources().size(), 1);
    EXPECT_EQ(OdbcDataSources().first().Name, QStringLiteral("Elsewhere"));
}

// unixODBC reads the user's file from the account's home folder, not from $HOME; a source that
// only $HOME's file holds would be listed and then not found.
TEST_F(OdbcDataSourcesTest, UserFileWithoutOdbciniIsTheAccountsNotHomes) {
    QTemporaryDir home;
    WriteFile(home.filePath(".odbc.ini"), "[OnlyInHome]\nDriver=MDBTools\n");
    const ScopedEnvironment noUser("ODBCINI", QString());
    const ScopedEnvironment elsewhere("HOME", home.path());
    QStringList names;
    for (const TOdbcDataSource& source : OdbcDataSources())
        names << source.Name;
    EXPECT_FALSE(names.contains(QStringLiteral("OnlyInHome")));
    EXPECT_TRUE(names.contains(QStringLiteral("MS Access 97 Database")));
}

struct DriverCase {
    const char* driver;
    bool mdbTools;
};

class MdbToolsDriver : public OdbcDataSourcesTest,
                       public ::testing::WithParamInterface<DriverCase> {};

TEST_P(MdbToolsDriver, IsRecognisedByNameOrLibrary) {
    EXPECT_EQ(IsMdbToolsDriver(QString::fromUtf8(GetParam().driver)), GetParam().mdbTools);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, MdbToolsDriver,
    ::testing::Values(DriverCase{"MDBTools", true}, DriverCase{"mdbtools", true},
                      DriverCase{"libmdbodbc.so", true},
                      DriverCase{"/usr/lib/x86_64-linux-gnu/odbc/libmdbodbcW.so", true},
                      DriverCase{"Access Files", true},  // registered with the MDB Tools library
                      DriverCase{"PostgreSQL Unicode", false}, DriverCase{"psqlodbcw.so", false},
                      DriverCase{"Unknown Driver", false}, DriverCase{"", false}));

TEST_F(OdbcDataSourcesTest, AccessDataSourceLeadsToTheFileThroughMdbTools) {
    REQUIRE_SHARED_FILE(nwind, "nwind.mdb");
    ASSERT_TRUE(QFile::copy(nwind, dir.filePath("nwind.mdb")));
    const QString dataSource = QStringLiteral("MS Access 97 Database");
    ASSERT_TRUE(IsMdbToolsDriver(OdbcDataSourceAttribute(dataSource, "Driver")));
    auto backend = CreateAccessBackend(OdbcDataSourceAttribute(dataSource, "Database"));
    backend->Open(std::nullopt);
    EXPECT_TRUE(backend->TableNames().contains(QStringLiteral("Umsätze")));
}

}  // namespace
