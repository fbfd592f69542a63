#include <gtest/gtest.h>

#include "db/dataset/RecordSql.h"

namespace {

TUpdateTarget People() {
    return {QStringLiteral("\"main\".\"people\""),
            {QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("born")},
            {0}};
}

struct StatementCase {
    const char* name;
    TUpdateTarget target;
    std::function<QString(const TUpdateTarget&)> make;
    const char* sql;
};

class EditStatements : public ::testing::TestWithParam<StatementCase> {};

TEST_P(EditStatements, BindEveryValueAsAParameter) {
    EXPECT_EQ(GetParam().make(GetParam().target), QString::fromUtf8(GetParam().sql));
}

const TUpdateTarget kPairs{QStringLiteral("\"public\".\"pairs\""),
                           {QStringLiteral("v"), QStringLiteral("a"), QStringLiteral("b")},
                           {1, 2}};
const TUpdateTarget kOdd{
    QStringLiteral("\"main\".\"we\"\"ird\""),
    {QStringLiteral("Straße"), QStringLiteral("say \"hi\""), QStringLiteral("Straße")},
    {1}};

INSTANTIATE_TEST_SUITE_P(
    Cases, EditStatements,
    ::testing::Values(
        StatementCase{"UpdateOneColumn", People(),
                      [](const auto& t) { return UpdateRowSql(t, {1}); },
                      R"(UPDATE "main"."people" SET "name" = ? WHERE "id" = ?)"},
        StatementCase{"UpdateTheKeyItself", People(),
                      [](const auto& t) {
                          return UpdateRowSql(t, {2, 0});
                      },
                      R"(UPDATE "main"."people" SET "born" = ?, "id" = ? WHERE "id" = ?)"},
        StatementCase{"UpdateByCompositeKey", kPairs,
                      [](const auto& t) { return UpdateRowSql(t, {0}); },
                      R"(UPDATE "public"."pairs" SET "v" = ? WHERE "a" = ? AND "b" = ?)"},
        StatementCase{"ColumnShownTwiceIsSetOnce", kOdd,
                      [](const auto& t) {
                          return UpdateRowSql(t, {0, 2});
                      },
                      R"(UPDATE "main"."we""ird" SET "Straße" = ? WHERE "say ""hi""" = ?)"},
        StatementCase{
            "InsertGivenColumnsReturningTheKey", People(),
            [](const auto& t) {
                return InsertRowSql(t, {1, 2});
            },
            R"(INSERT INTO "main"."people" ("name", "born") VALUES (?, ?) RETURNING "id")"},
        StatementCase{"InsertWithNothingSetTakesDefaults", kPairs,
                      [](const auto& t) { return InsertRowSql(t, {}); },
                      R"(INSERT INTO "public"."pairs" DEFAULT VALUES RETURNING "a", "b")"},
        StatementCase{"DeleteByKey", kPairs, [](const auto& t) { return DeleteRowSql(t); },
                      R"(DELETE FROM "public"."pairs" WHERE "a" = ? AND "b" = ?)"},
        StatementCase{
            "RereadEveryResultColumnInOrder", kOdd, [](const auto& t) { return SelectRowSql(t); },
            R"(SELECT "Straße", "say ""hi""", "Straße" FROM "main"."we""ird" WHERE "say ""hi""" = ?)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditStatementColumns, LastOfTwoColumnsShowingOneTableColumnWins) {
    EXPECT_EQ(DistinctTableColumns(kOdd, {0, 1, 2}), (QList<int>{1, 2}));
    EXPECT_EQ(DistinctTableColumns(kOdd, {2, 0}), (QList<int>{0}));
    EXPECT_EQ(DistinctTableColumns(People(), {2, 1}), (QList<int>{2, 1}));
}

}  // namespace
