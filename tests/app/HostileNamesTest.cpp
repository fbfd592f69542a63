#include <gtest/gtest.h>

#include "EngineWindowFixture.h"
#include "db/dataset/SqlIdentifier.h"

namespace {

struct NameCase {
    const char* label;
    TEngine engine;
    TConnectionKind kind;
    QString listed;    // as the table list shows it
    QString schema;    // where it is made; empty for the default schema
    QString table;     // its own name
    QString expected;  // as generated statements write it
};

// The table as the test's own SQL names it.
QString Qualified(const NameCase& c) {
    return (c.schema.isEmpty() ? QString() : QuoteIdentifier(c.schema) + QLatin1Char('.')) +
           QuoteIdentifier(c.table);
}

// Every table holds two rows of two columns; `victim` holds three and must keep them.
QString Schema(const NameCase& c) {
    return (c.schema.isEmpty()
                ? QString()
                : QStringLiteral("CREATE SCHEMA %1;").arg(QuoteIdentifier(c.schema))) +
           QStringLiteral(
               "CREATE TABLE victim (id INTEGER);"
               "INSERT INTO victim VALUES (1), (2), (3);"
               "CREATE TABLE %1 (id INTEGER PRIMARY KEY, \"Odd \"\"name\"\"\" TEXT);"
               "INSERT INTO %1 VALUES (1, 'a'), (2, 'b');")
               .arg(Qualified(c));
}

// Failures name the case, not its bytes.
void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.label;
}

class HostileNames : public EngineWindowTest, public ::testing::WithParamInterface<NameCase> {};

// A user lists the tables, picks the odd one and presses every button that writes SQL for it:
// only the statement meant runs, and the name reads back as the table it is.
TEST_P(HostileNames, RunOnlyTheStatementMeant) {
    const NameCase& c = GetParam();
    Open(c.engine, c.kind, Schema(c));
    if (IsSkipped() || HasFailure())
        return;
    form->TableButton->click();
    const auto items = form->ListBox1->findItems(c.listed, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << "listed: " << form->ListBox1->count();
    form->ListBox1->setCurrentItem(items.first());
    EXPECT_EQ(form->ListBox2->count(), 2) << "the field list";

    seam->AnswerConfirm(true);  // should anything ask, it runs: the name must still hold
    form->SelectAllButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), "SELECT * FROM " + c.expected);
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 2"));
    // An edit in the grid is written back to the same table and row (ODBC results refuse
    // edits).
    if (c.engine != TEngine::PostgresOdbc) {
        TCustomQuery* query = c.kind == TConnectionKind::Ado
                                  ? static_cast<TCustomQuery*>(form->ADOQuery1)
                                  : form->Query1;
        query->First();
        query->Edit();
        query->FieldByName("Odd \"name\"").SetAsString("edited");
        query->Post();
        EXPECT_EQ(
            ReadBack("SELECT id FROM " + Qualified(c) + " WHERE \"Odd \"\"name\"\"\" = 'edited'"),
            QStringLiteral("1"));
    }

    form->CountAllButton->click();
    const QString count = c.kind == TConnectionKind::Ado ? "count(*)" : "count(1)";
    EXPECT_EQ(form->Memo1->toPlainText(), "SELECT " + count + " FROM " + c.expected);
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 1"));

    seam->AnswerPrintDialog(std::nullopt);
    form->Button3->click();
    EXPECT_TRUE(form->RichEdit1->toPlainText().contains("Table '" + c.listed + "' has 2 fields:"));
    EXPECT_TRUE(form->RichEdit1->toPlainText().contains("001 Odd \"name\""));

    EXPECT_EQ(seam->Texts("error"), QStringList());
    EXPECT_EQ(seam->Texts("confirm"), QStringList());
    EXPECT_EQ(ReadBack("SELECT count(*) FROM victim"), QStringLiteral("3"));
}

// Plain names stay bare; PostgreSQL reads capitals bare as small letters, SQLite does not mind.
std::vector<NameCase> Cases() {
    struct Name {
        const char* label;
        const char* name;
        const char* sqlite;
        const char* postgres;
    };
    const Name names[] = {
        {"Plain", "customer", "customer", "customer"},
        {"Capitals", "Mixed", "Mixed", "\"Mixed\""},
        {"Keyword", "select", "\"select\"", "\"select\""},
        {"LeadingDigit", "1abc", "\"1abc\"", "\"1abc\""},
        {"SecondStatement", "t; TRUNCATE victim", "\"t; TRUNCATE victim\"",
         "\"t; TRUNCATE victim\""},
        {"QuotesAround", "\"t\";TRUNCATE victim;--", "\"\"\"t\"\";TRUNCATE victim;--\"",
         "\"\"\"t\"\";TRUNCATE victim;--\""},
        {"BlanksAndBrackets", "a [b] c", "\"a [b] c\"", "\"a [b] c\""},
        {"Apostrophe", "it's", "\"it's\"", "\"it's\""},
        {"Dotted", "x.y", "\"x.y\"", "\"x.y\""},
    };
    std::vector<NameCase> cases;
    for (const TConnectionKind kind : {TConnectionKind::Ado, TConnectionKind::Alias}) {
        for (const Name& n : names) {
            cases.push_back({n.label, TEngine::Sqlite, kind, n.name, {}, n.name, n.sqlite});
            cases.push_back({n.label, TEngine::Postgres, kind, n.name, {}, n.name, n.postgres});
            if (kind == TConnectionKind::Ado)
                cases.push_back(
                    {n.label, TEngine::PostgresOdbc, kind, n.name, {}, n.name, n.postgres});
        }
        // Qt's driver lists tables outside the public schema as "schema.table".
        cases.push_back({"OtherSchema", TEngine::Postgres, kind, "Sales.orders", "Sales", "orders",
                         "\"Sales\".orders"});
        cases.push_back({"OtherSchemaOddTable", TEngine::Postgres, kind, "s.t; TRUNCATE victim",
                         "s", "t; TRUNCATE victim", "s.\"t; TRUNCATE victim\""});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryEngine, HostileNames, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<NameCase>& info) {
                             const NameCase& c = info.param;
                             return EngineName(c.engine) +
                                    (c.kind == TConnectionKind::Ado ? "Ado_" : "Alias_") + c.label;
                         });

}  // namespace
