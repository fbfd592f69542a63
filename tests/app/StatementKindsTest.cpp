#include <gtest/gtest.h>

#include "EngineWindowFixture.h"

namespace {

struct TextCase {
    const char* label;
    TEngine engine;
    TConnectionKind kind;
    QStringList texts;  // typed and run one after the other
    bool answer;        // to every question asked
    int questions;      // asked in all
    QString panel;      // status panel 1 at the end
    QString error;      // how the last error shown ends; empty: none shown
    QString check;      // read back on another connection
    QString expected;
};

const QString kSchema = QStringLiteral(
    "CREATE TABLE e (id INTEGER PRIMARY KEY, v TEXT);"
    "INSERT INTO e VALUES (1, 'one'), (2, 'two'), (3, 'three'), (4, 'four'), (5, 'five');"
    "CREATE TABLE victim (id INTEGER);"
    "INSERT INTO victim VALUES (1), (2), (3);");

const QString kFailingBatch =
    QStringLiteral("UPDATE e SET v = 'BATCH1' WHERE id = 4; UPDATE nosuch SET v = 1");
const QString kRolledBack = QStringLiteral("The whole batch was rolled back: nothing was changed.");
const QString kVictims = QStringLiteral("SELECT count(*) FROM victim");
const QString kFirstAndFourth = QStringLiteral(
    "SELECT (SELECT v FROM e WHERE id = 1) || '/' || (SELECT v FROM e WHERE id = 4)");

// Failures name the case, not its bytes.
void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.label;
}

class StatementKinds : public EngineWindowTest, public ::testing::WithParamInterface<TextCase> {};

// Whatever the words of a text, it runs only after the question when it can change anything,
// shows what it did, and a batch changes all or nothing.
TEST_P(StatementKinds, AskRunAndReport) {
    const TextCase& c = GetParam();
    Open(c.engine, c.kind, kSchema);
    if (IsSkipped() || HasFailure())
        return;
    for (int i = 0; i < 10; ++i)
        seam->AnswerConfirm(c.answer);
    for (const QString& text : c.texts)
        Run(text);
    EXPECT_EQ(seam->Texts("confirm").size(), c.questions);
    EXPECT_EQ(Panel(1).toStdString(), c.panel.toStdString());
    const QStringList errors = seam->Texts("error");
    if (c.error.isEmpty())
        EXPECT_EQ(errors.join(" | ").toStdString(), "");
    else
        EXPECT_TRUE(!errors.isEmpty() && errors.last().contains(c.error))
            << errors.join(" | ").toStdString();
    EXPECT_EQ(ReadBack(c.check).toStdString(), c.expected.toStdString());
    EXPECT_EQ(seam->Cursor(), crDefault);
}

// Which engines a row of the table runs on.
enum Engines { kSqlite = 1, kPostgres = 2, kOdbc = 4, kServer = kPostgres | kOdbc, kAll = 7 };

std::vector<TextCase> Cases() {
    struct Row {
        int engines;
        TextCase c;
    };
    const auto ado = TConnectionKind::Ado, alias = TConnectionKind::Alias;
    const QString count = QStringLiteral("SELECT count(*) FROM e");
    // clang-format off
    const Row rows[] = {
        {kAll, {"Select", {}, ado, {"SELECT v FROM e WHERE id = 1"}, true, 0, "Records: 1", {}, count, "5"}},
        {kAll, {"SelectsTwoAskedAndRun", {}, ado, {"SELECT 1; SELECT 2"}, true, 1, "Affected: 0", {}, count, "5"}},
        {kAll, {"Vacuum", {}, ado, {"VACUUM"}, true, 1, "Affected: 0", {}, count, "5"}},
        {kAll, {"BeginUpdateCommit", {}, ado, {"BEGIN", "UPDATE e SET v = 'T' WHERE id = 1", "COMMIT"}, true, 3, "Affected: 0", {}, kFirstAndFourth, "T/four"}},
        // The open result is closed first: the change is not left in a transaction of the program's.
        {kAll, {"SelectThenUpdateCommitted", {}, ado, {"SELECT v FROM e", "UPDATE e SET v = 'T' WHERE id = 1"}, true, 1, "Affected: 1", {}, kFirstAndFourth, "T/four"}},
        {kAll, {"BeginUpdateRollback", {}, ado, {"BEGIN", "UPDATE e SET v = 'T' WHERE id = 1", "ROLLBACK"}, true, 3, "Affected: 0", {}, kFirstAndFourth, "one/four"}},
        {kAll, {"Batch", {}, ado, {"UPDATE e SET v = 'B1' WHERE id = 1; UPDATE e SET v = 'B4' WHERE id = 4"}, true, 1, "Affected: 2", {}, kFirstAndFourth, "B1/B4"}},
        {kAll, {"FailingBatch", {}, ado, {kFailingBatch}, true, 1, "Records: none", kRolledBack, kFirstAndFourth, "one/four"}},
        {kSqlite | kPostgres, {"FailingBatchThroughAlias", {}, alias, {kFailingBatch}, true, 1, "Records: none", kRolledBack, kFirstAndFourth, "one/four"}},
        {kAll, {"FailingBatchInsideOwnTransaction", {}, ado, {"BEGIN", "UPDATE e SET v = 'T' WHERE id = 1", kFailingBatch, "COMMIT"}, true, 4, "Affected: 0", kRolledBack, kFirstAndFourth, "T/four"}},
        {kAll, {"BatchWithItsOwnCommitRefused", {}, ado, {"UPDATE e SET v = 'C' WHERE id = 1; COMMIT"}, true, 1, "Records: none", kRolledBack, kFirstAndFourth, "one/four"}},
        {kServer, {"TruncateAsked", {}, ado, {"TRUNCATE victim"}, true, 1, "Affected: 0", {}, kVictims, "0"}},
        {kPostgres, {"TruncateAskedThroughAlias", {}, alias, {"TRUNCATE victim"}, true, 1, "Affected: 0", {}, kVictims, "0"}},
        {kServer, {"TruncateRefused", {}, ado, {"TRUNCATE victim"}, false, 1, "Records: none", {}, kVictims, "3"}},
        {kServer, {"SelectThenTruncateRefused", {}, ado, {"SELECT 1; TRUNCATE victim"}, false, 1, "Records: none", {}, kVictims, "3"}},
        {kPostgres, {"SetThenShow", {}, ado, {"SET application_name TO 'quorva_set'", "SHOW application_name"}, true, 1, "Records: 1", {}, "SELECT count(*) FROM pg_stat_activity WHERE application_name = 'quorva_set'", "1"}},
        // A COPY from or to the client ends with its error instead of waiting for ever.
        {kPostgres, {"CopyFromClient", {}, ado, {"COPY victim FROM STDIN"}, true, 1, "Records: none", "COPY FROM STDIN cannot be run here", kVictims, "3"}},
        {kPostgres, {"CopyToClient", {}, ado, {"COPY victim TO STDOUT"}, true, 1, "Records: none", "COPY TO STDOUT cannot be run here", kVictims, "3"}},
        {kSqlite, {"PragmaAsked", {}, ado, {"PRAGMA user_version = 7"}, true, 1, "Affected: 0", {}, "PRAGMA user_version", "7"}},
    };
    // clang-format on
    std::vector<TextCase> cases;
    for (const auto& [engine, bit] : {std::pair{TEngine::Sqlite, kSqlite},
                                      {TEngine::Postgres, kPostgres},
                                      {TEngine::PostgresOdbc, kOdbc}})
        for (const Row& row : rows)
            if (row.engines & bit) {
                cases.push_back(row.c);
                cases.back().engine = engine;
            }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryEngine, StatementKinds, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<TextCase>& info) {
                             return EngineName(info.param.engine) + "_" + info.param.label;
                         });

}  // namespace
