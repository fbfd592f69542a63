#pragma once

#include <sqlite3.h>

#include <QStringList>
#include <stdexcept>

#include "core/Exception.h"

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
