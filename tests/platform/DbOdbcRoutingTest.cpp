#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "core/Exception.h"
#include "db/DbBackend.h"
#include "support/SharedData.h"

namespace {

QString MdbToolsDsn(const QString& file) {
    return QStringLiteral("[MS Access 97 Database]\nDriver=MDBTools\nDatabase=%1\n").arg(file);
}

std::unique_ptr<DbBackend> Opened(const QString& connectionString) {
    auto backend = CreateBackend(TConnectionString::Parse(connectionString));
    backend->Open(std::nullopt);
    return backend;
}

TEST(OdbcRouting, MdbToolsDataSourceIsReadThroughMdbtoolsNotQtOdbc) {
    REQUIRE_SHARED_FILE(nwind, "nwind.mdb");
    const LocalOdbcIni ini(MdbToolsDsn(nwind));
    const auto backend =
        Opened(QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;"
                              "Data Source=MS Access 97 Database"));
    EXPECT_TRUE(backend->TableNames().contains(QStringLiteral("Umsätze")));
}

TEST(OdbcRouting, InitialCatalogNamesTheFileBeforeTheDataSourceDoes) {
    QTemporaryDir dir;
    const QString absent = dir.filePath(QStringLiteral("other.mdb"));
    const LocalOdbcIni ini(MdbToolsDsn(dir.filePath(QStringLiteral("configured.mdb"))));
    try {
        Opened(QStringLiteral("Provider=MSDASQL.1;Data Source=MS Access 97 Database;"
                              "Initial Catalog=") +
               absent);
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().contains(absent)) << error.what();
    }
    EXPECT_FALSE(QFileInfo::exists(absent));
}

TEST(OdbcRouting, MdbToolsDataSourceWithoutDatabaseFileIsNamedInTheError) {
    const LocalOdbcIni ini(QStringLiteral("[Empty Access]\nDriver=MDBTools\n"));
    try {
        Opened(QStringLiteral("Provider=MSDASQL.1;Data Source=Empty Access"));
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("Empty Access"))) << error.what();
    }
}

}  // namespace
