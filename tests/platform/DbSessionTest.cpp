#include <gtest/gtest.h>

#include <QMap>

#include "DbTestSupport.h"
#include "core/Exception.h"
#include "db/connection/AliasResolver.h"
#include "db/components/BDEQuery.h"
#include "db/components/BDETable.h"
#include "db/components/Session.h"

namespace {

class FixedAliases : public TAliasResolver {
  public:
    explicit FixedAliases(QMap<QString, QString> aliases) : aliases_(std::move(aliases)) {}
    QStringList AliasNames() const override { return aliases_.keys(); }
    std::optional<QString> ConnectionString(const QString& alias) const override {
        for (auto it = aliases_.begin(); it != aliases_.end(); ++it)
            if (it.key().compare(alias, Qt::CaseInsensitive) == 0)
                return it.value();
        return std::nullopt;
    }

  private:
    QMap<QString, QString> aliases_;
};

TEST(SessionWithoutAliases, ListsNoneAndNamesAnUnknownAlias) {
    TSession session;
    session.Open();
    QStringList names{QStringLiteral("stale")};
    session.GetAliasNames(names);
    EXPECT_TRUE(names.isEmpty());
    try {
        session.GetTableNames(QStringLiteral("DBDEMOS"), QStringLiteral("*"), false, false, names);
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("DBDEMOS")));
    }
}

class SessionWithAlias : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = SetAliasResolver(std::make_unique<FixedAliases>(QMap<QString, QString>{
            {QStringLiteral("Sample"),
             QStringLiteral("Provider=SQLite;Data Source=") + file.Path()}}));
        query.SetSession(&session);
        table.SetSession(&session);
        query.SetDatabaseName(QStringLiteral("sample"));
        table.SetDatabaseName(QStringLiteral("SAMPLE"));
    }
    void TearDown() override { SetAliasResolver(std::move(previous_)); }

    TestDatabaseFile file{
        QStringLiteral("CREATE TABLE customer(id INTEGER, name VARCHAR(20));"
                       "CREATE TABLE orders(id INTEGER, amount REAL);"
                       "CREATE TABLE \"in/out\"(id INTEGER);"
                       "INSERT INTO customer VALUES (1, 'Ann'), (2, 'Bob');")};
    TSession session;
    TQuery query;
    TTable table;

  private:
    std::unique_ptr<TAliasResolver> previous_;
};

TEST_F(SessionWithAlias, ListsTablesOfTheAliasByPattern) {
    session.Open();
    QStringList names;
    session.GetAliasNames(names);
    EXPECT_EQ(names, QStringList{QStringLiteral("Sample")});
    session.GetTableNames(QStringLiteral("Sample"), QStringLiteral("*"), false, false, names);
    QStringList throughAdo;
    TADOConnection ado;
    OpenConnection(ado, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
    ado.GetTableNames(throughAdo);
    EXPECT_EQ(names, throughAdo);
    EXPECT_EQ(names, (QStringList{QStringLiteral("customer"), QStringLiteral("in/out"),
                                  QStringLiteral("orders")}));
    session.GetTableNames(QStringLiteral("Sample"), QStringLiteral("ord*"), false, false, names);
    EXPECT_EQ(names, QStringList{QStringLiteral("orders")});
    session.GetTableNames(QStringLiteral("Sample"), QStringLiteral("in?ou*"), false, false, names);
    EXPECT_EQ(names, QStringList{QStringLiteral("in/out")});
}

TEST_F(SessionWithAlias, QueryAndTableRunOnTheAliasDatabase) {
    session.Open();
    query.SQL() << QStringLiteral("UPDATE customer SET name = upper(name)");
    query.ExecSQL();
    EXPECT_EQ(query.RowsAffected(), 2);
    query.SQL() = QStringList{QStringLiteral("SELECT name FROM customer ORDER BY id")};
    query.Open();
    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_EQ(query.Fields(0).AsString(), QStringLiteral("ANN"));

    table.SetTableName(QStringLiteral("customer"));
    QStringList fields;
    table.GetFieldNames(fields);
    EXPECT_EQ(fields, (QStringList{QStringLiteral("id"), QStringLiteral("name")}));
    EXPECT_FALSE(table.Active());
    table.Open();
    EXPECT_EQ(table.FieldByName(QStringLiteral("name")).Size(), 20);
}

TEST_F(SessionWithAlias, ClosingTheSessionClosesItsDataSets) {
    session.Open();
    query.SQL() << QStringLiteral("SELECT * FROM customer");
    query.Open();
    session.Close();
    EXPECT_FALSE(session.Active());
    EXPECT_FALSE(query.Active());
}

TEST_F(SessionWithAlias, DatabaseNameCannotChangeUnderAnOpenDataSet) {
    session.Open();
    query.SQL() << QStringLiteral("SELECT * FROM customer");
    query.Open();
    EXPECT_THROW(query.SetDatabaseName(QStringLiteral("other")), EDatabaseError);
    EXPECT_EQ(query.DatabaseName(), QStringLiteral("sample"));
}

}  // namespace
