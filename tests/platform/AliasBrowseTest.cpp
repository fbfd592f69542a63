#include <gtest/gtest.h>

#include "AliasTestSupport.h"
#include "db/components/BDEQuery.h"
#include "db/components/BDETable.h"
#include "db/components/Session.h"
#include "support/SharedData.h"

namespace {

// What the main window does on an alias, checked on one database.
struct BrowseCase {
    const char* name;
    const char* sharedFile;  // in the shared test data; null for the sample database
    QStringList tables;
    const char* table;
    QStringList fields;
    int rows;
    const char* change;
    int changed;
};

class AliasBrowsing : public ::testing::TestWithParam<BrowseCase> {
  protected:
    void SetUp() override {
        const BrowseCase& c = GetParam();
        QString source = QStringLiteral(QUORVA_SAMPLE_DATABASE);
        if (c.sharedFile) {
            source = SharedTestFile(QLatin1String(c.sharedFile));
            if (source.isEmpty())
                GTEST_SKIP() << "shared test data " << c.sharedFile << " not found";
        }
        // A copy, since one case changes rows.
        const QString copy = CopyDatabase(dir, source);
        ASSERT_FALSE(copy.isEmpty()) << "cannot copy " << source.toStdString();
        aliases.Write(("[Browse Me]\nDriver=SQLITE\nPath=" + copy + "\n").toUtf8());
        session.Open();
        Query1.SetSession(&session);
        Table1.SetSession(&session);
        Query1.SetDatabaseName(alias);
        Table1.SetDatabaseName(alias);
    }

    void Run(const QString& sql) {
        Query1.Close();
        Query1.SQL() = QStringList{sql};
        Query1.Open();
    }

    const QString alias = QStringLiteral("Browse Me");
    QTemporaryDir dir;
    ScopedAliasFile aliases;
    TSession session;
    TQuery Query1;
    TTable Table1;
};

TEST_P(AliasBrowsing, ListsTablesWithoutSystemTables) {
    QStringList names;
    session.GetTableNames(Table1.DatabaseName(), QStringLiteral("*"), false, false, names);
    EXPECT_EQ(names, GetParam().tables);
}

TEST_P(AliasBrowsing, ListsTheFieldsOfATable) {
    Table1.Close();
    Table1.SetTableName(QLatin1String(GetParam().table));
    QStringList fields;
    Table1.GetFieldNames(fields);
    EXPECT_EQ(fields, GetParam().fields);
}

TEST_P(AliasBrowsing, SelectsAllAndCountsByTheBareName) {
    Run(QStringLiteral("SELECT * FROM ") + QLatin1String(GetParam().table));
    EXPECT_EQ(Query1.RecordCount(), GetParam().rows);
    EXPECT_EQ(Query1.FieldCount(), GetParam().fields.size());
    Run(QStringLiteral("SELECT count(1) FROM ") + QLatin1String(GetParam().table));
    EXPECT_EQ(Query1.RecordCount(), 1);
    EXPECT_EQ(Query1.Fields(0).AsString(), QString::number(GetParam().rows));
}

TEST_P(AliasBrowsing, ExecutesChangesAndReadsTheRowsAffected) {
    Query1.Close();
    Query1.SQL() = QStringList{QLatin1String(GetParam().change)};
    Query1.ExecSQL();
    EXPECT_EQ(Query1.RowsAffected(), GetParam().changed);
    EXPECT_FALSE(Query1.Active());
}

INSTANTIATE_TEST_SUITE_P(
    Databases, AliasBrowsing,
    ::testing::Values(
        BrowseCase{
            "Sample",
            nullptr,
            {"customer", "employee", "order_line", "order_summary", "orders", "product", "region"},
            "customer",
            {"customer_id", "company", "contact", "city", "country", "region_id", "customer_since",
             "notes"},
            40,
            "UPDATE product SET in_stock = in_stock + 1 WHERE category = 'Coffee'",
            4},
        BrowseCase{"Chinook",
                   "chinook.sqlite",
                   {"Album", "Artist", "Customer", "Employee", "Genre", "Invoice", "InvoiceLine",
                    "MediaType", "Playlist", "PlaylistTrack", "Track"},
                   "Album",
                   {"AlbumId", "Title", "ArtistId"},
                   347,
                   "UPDATE Genre SET Name = Name || ''",
                   25}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
