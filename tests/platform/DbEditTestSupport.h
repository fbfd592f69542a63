#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QLocale>
#include <QStringList>
#include <stdexcept>
#include <string>
#include <tuple>

#include "core/Exception.h"
#include "db/dataset/CellTextWriter.h"
#include "db/dataset/CursorLocation.h"
#include "db/dataset/DataSet.h"

// Rows of an SQLite file read over a connection of their own, each row's cells joined by "|"
// (NULL as "<null>"): what the database really holds, whatever a data set shows.
inline QStringList FileRows(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open test database");
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("bad test query");
    }
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList cells;
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            cells << (sqlite3_column_type(statement, column) == SQLITE_NULL
                          ? QStringLiteral("<null>")
                          : QString::fromUtf8(reinterpret_cast<const char*>(
                                sqlite3_column_text(statement, column))));
        rows << cells.join(QLatin1Char('|'));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// Runs `action` and returns the message of the EDatabaseError it raised (empty for none).
template <typename F>
QString DatabaseErrorOf(F action) {
    try {
        action();
    } catch (const EDatabaseError& error) {
        return error.Message();
    }
    return {};
}

// A table (key, v) of two rows whose keys a double, milliseconds or a lossy decoding of text
// would take for one key; the row sorted second is the one meant. What Save grid writes for
// its key holds `shown`, "." standing for the locale's decimal separator.
struct ExactKeyCase {
    const char* name;
    const char* table;
    const char* shown;
};

inline void PrintTo(const ExactKeyCase& key, std::ostream* out) {
    *out << key.name;
}

using ExactKeyParam = std::tuple<ExactKeyCase, TCursorLocation>;

inline std::string ExactKeyName(const ::testing::TestParamInfo<ExactKeyParam>& info) {
    return std::string(std::get<0>(info.param).name) +
           (std::get<1>(info.param) == clUseServer ? "OnServer" : "OnClient");
}

// On `data`, open on the table ordered by key: what Save grid writes for the meant key, then
// an edit of its "v" and its deletion, each checked against `rows`, which reads the database
// back (its rows as "key=value", joined by "; "). Only the meant row may change.
template <typename Rows>
void CheckExactKey(TDataSet& data, const ExactKeyCase& key, Rows rows) {
    const QStringList before = QString::fromStdString(rows()).split(QStringLiteral("; "));
    ASSERT_EQ(before.size(), 2);
    const std::string other = before[0].toStdString();
    const std::string meant = before[1].section(QLatin1Char('='), 0, 0).toStdString();

    qsizetype at;
    const TRowStore& stored = data.StoredRow(1, at);
    std::string saved;
    TCellTextWriter().Append(saved, stored, at, 0, data.Fields(0).DataType());
    const QString shown =
        QString::fromUtf8(key.shown).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
    EXPECT_NE(saved.find(shown.toStdString()), std::string::npos) << saved;

    data.SetRecNo(2);
    data.Edit();
    data.FieldByName(QStringLiteral("v")).SetAsString(QStringLiteral("edited"));
    data.Post();
    EXPECT_EQ(rows(), other + "; " + meant + "=edited");
    data.Delete();
    EXPECT_EQ(rows(), other);
    EXPECT_EQ(data.RecordCount(), 1);
    EXPECT_EQ(data.FieldByName(QStringLiteral("v")).AsString(), QStringLiteral("other"));
}
