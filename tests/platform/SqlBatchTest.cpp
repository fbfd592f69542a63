#include <gtest/gtest.h>

#include "db/SqlBatch.h"

namespace {

struct SplitCase {
    const char* label;
    const char* sql;
    int statements;
    bool controlsTransaction;  // one of them begins, ends or marks a transaction
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.label;
}

class SqlBatchSplit : public ::testing::TestWithParam<SplitCase> {};

// A semicolon inside quotes or comments parts nothing; where engines read a text differently,
// the reading with more statements counts, so that nothing passes as one statement that an
// engine runs as two.
TEST_P(SqlBatchSplit, CountsTheStatementsAnEngineMayRun) {
    const SplitCase& c = GetParam();
    const QStringList statements = SqlBatch::Statements(QString::fromUtf8(c.sql));
    EXPECT_EQ(statements.size(), c.statements) << statements.join(" | ").toStdString();
    bool controls = false;
    for (const QString& statement : statements)
        controls = controls || SqlBatch::ControlsTransaction(statement);
    EXPECT_EQ(controls, c.controlsTransaction);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SqlBatchSplit,
    ::testing::Values(
        SplitCase{"One", "SELECT 1", 1, false},
        SplitCase{"ClosingSemicolonAndComment", "SELECT 1; -- done\n", 1, false},
        SplitCase{"Two", "SELECT 1; TRUNCATE victim", 2, false},
        SplitCase{"InString", "SELECT ';TRUNCATE victim'", 1, false},
        SplitCase{"DoubledQuoteInString", "SELECT 'it''s'; DROP TABLE t", 2, false},
        SplitCase{"InQuotedName", "SELECT * FROM \"t; TRUNCATE victim\"", 1, false},
        SplitCase{"InLineComment", "SELECT 1 -- ; TRUNCATE victim", 1, false},
        SplitCase{"InBlockComment", "SELECT 1 /* ; TRUNCATE victim */", 1, false},
        SplitCase{"AfterNestedCommentSqliteEnds", "SELECT 1 /* /* */ ; TRUNCATE victim */", 2,
                  false},
        SplitCase{"BackslashBeforeQuote", "SELECT 'a\\'; TRUNCATE victim; --'", 2, false},
        SplitCase{"DollarQuotedBody", "DO $body$ BEGIN PERFORM 1; COMMIT; END $body$", 1, false},
        SplitCase{"BeginCommitInBatch", "BEGIN; UPDATE e SET v = 1; COMMIT", 3, true},
        SplitCase{"SavepointAfterComment", "UPDATE e SET v = 1; /* x */ SAVEPOINT s", 2, true},
        SplitCase{"PrepareTransaction", "PREPARE TRANSACTION 'x'", 1, true},
        SplitCase{"PrepareStatementIsNoControl", "PREPARE q AS SELECT 1", 1, false}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.label; });

}  // namespace
