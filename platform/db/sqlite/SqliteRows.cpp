#include "db/sqlite/SqliteRows.h"

#include <sqlite3.h>

#include <QString>
#include <algorithm>

#include "db/DeclaredType.h"
#include "db/dataset/RowStore.h"

void AppendSqliteRow(sqlite3_stmt* statement, TRowStore& rows) {
    const int count = sqlite3_column_count(statement);
    rows.BeginRow();
    for (int column = 0; column < count; ++column) {
        switch (sqlite3_column_type(statement, column)) {
            case SQLITE_INTEGER:
                rows.AddInteger(sqlite3_column_int64(statement, column));
                break;
            case SQLITE_FLOAT:
                rows.AddFloat(sqlite3_column_double(statement, column));
                break;
            case SQLITE_TEXT: {
                const auto* text =
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
                rows.AddText({text, std::size_t(sqlite3_column_bytes(statement, column))});
                break;
            }
            case SQLITE_BLOB: {
                const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
                rows.AddBytes({data, std::size_t(sqlite3_column_bytes(statement, column))});
                break;
            }
            default:
                rows.AddNull();
        }
    }
    rows.EndRow();
}

TFieldDefs SqliteResultFields(sqlite3_stmt* statement, std::vector<int>& undecided) {
    TFieldDefs fields;
    const int count = sqlite3_column_count(statement);
    for (int column = 0; column < count; ++column) {
        const QString name = QString::fromUtf8(sqlite3_column_name(statement, column));
        const QString declared = QString::fromUtf8(sqlite3_column_decltype(statement, column));
        fields.append(FieldDefFromDeclaration(name, declared));
        if (fields.back().DataType == ftUnknown)
            undecided.push_back(column);
    }
    return fields;
}

void DecideSqliteTypes(sqlite3_stmt* statement, TFieldDefs& fields, std::vector<int>& undecided) {
    std::erase_if(undecided, [&](int column) {
        TFieldType type = ftUnknown;
        switch (sqlite3_column_type(statement, column)) {
            case SQLITE_INTEGER:
                type = FieldTypeOfValue(TRowStore::CellKind::Integer);
                break;
            case SQLITE_FLOAT:
                type = FieldTypeOfValue(TRowStore::CellKind::Float);
                break;
            case SQLITE_TEXT:
                type = FieldTypeOfValue(TRowStore::CellKind::Text);
                break;
            case SQLITE_BLOB:
                type = FieldTypeOfValue(TRowStore::CellKind::Bytes);
                break;
            default:
                return false;
        }
        fields[column].DataType = type;
        return true;
    });
}
