#include "db/access/MdbCursor.h"

#include <QRegularExpression>

#include "core/Exception.h"
#include "db/access/AccessBackend.h"
#include "db/access/MdbFieldType.h"
#include "db/access/MdbFile.h"
#include "db/dataset/RowStore.h"

namespace {

const QString kGrammar = QStringLiteral(
    "SELECT [TOP n] *, columns or count(*) FROM one table "
    "[WHERE column = value, joined by AND, OR, NOT] [LIMIT n]");

MdbColumn* ColumnAt(const MdbTableDef* table, unsigned index) {
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, index));
}

bool HasTable(MdbHandle* mdb, const QString& name) {
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        const auto* entry = static_cast<const MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE &&
            QString::fromUtf8(entry->object_name).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// libmdbsql reports every failure as "Got no result"; its reason goes to stderr only.
[[noreturn]] void RefuseStatement(MdbHandle* mdb, const QString& sql) {
    static const QRegularExpression from(
        QStringLiteral("\\bfrom\\s+(?:\\[([^\\]]+)\\]|\"([^\"]+)\"|([^\\s;,]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = from.match(sql);
    if (!match.hasMatch())
        throw EDatabaseError(QStringLiteral("mdbtools reads only ") + kGrammar);
    QString table = match.captured(1);
    if (table.isEmpty())
        table = match.captured(2);
    if (table.isEmpty())
        table = match.captured(3);
    if (!HasTable(mdb, table))
        throw EDatabaseError(QStringLiteral("Table %1 not found in this database").arg(table));
    throw EDatabaseError(QStringLiteral("mdbtools cannot run this statement: a column it names "
                                        "is not in table %1, or it goes beyond %2")
                             .arg(table, kGrammar));
}

}  // namespace

std::unique_ptr<TResultCursor> TMdbCursor::Select(const QString& fileName, const QString& sql) {
    static const QRegularExpression select(QStringLiteral("^\\s*select\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    // libmdbsql also knows CONNECT TO, which shell-expands a file name (wordexp) and swaps the
    // open file under the statement.
    if (!select.match(sql).hasMatch())
        throw EDatabaseError(QStringLiteral("mdbtools reads only ") + kGrammar);

    std::unique_ptr<TMdbCursor> cursor(new TMdbCursor);
    cursor->sql_.reset(mdb_sql_init());
    MdbSQL* statement = cursor->sql_.get();
    statement->mdb = OpenMdbFile(fileName).release();
    // libmdbsql's grammar has no statement terminator, but SQL files usually end with one.
    QString statementText = sql.trimmed();
    while (statementText.endsWith(QLatin1Char(';')))
        statementText.chop(1);
    const QByteArray text = statementText.toUtf8();
    if (!mdb_sql_run_query(statement, text.constData()))
        RefuseStatement(statement->mdb, sql);

    MdbTableDef* table = statement->cur_table;
    cursor->filter_ = std::make_unique<TMdbFilter>(table);
    // An index scan would still apply libmdb's own reading of the conditions.
    if (table->strategy == MDB_INDEX_SCAN) {
        mdb_index_scan_free(table);
        table->strategy = MDB_TABLE_SCAN;
        mdb_rewind_table(table);
    }
    cursor->Bind(statement->mdb, table);
    cursor->limit_ = statement->limit >= 0 ? statement->limit : -1;
    cursor->count_ = statement->sel_count != 0;
    if (cursor->count_) {
        cursor->countFromTempTable_ = table->is_temp_table != 0;
        cursor->fields_ = {TFieldDef{QStringLiteral("count"), ftInteger, 0}};
        return cursor;
    }
    for (unsigned i = 0; i < statement->num_columns; ++i) {
        const auto* selected =
            static_cast<const MdbSQLColumn*>(g_ptr_array_index(statement->columns, i));
        const QString name = QString::fromUtf8(selected->name);
        int found = -1;
        for (unsigned c = 0; c < table->num_cols && found < 0; ++c)
            if (QString::fromUtf8(ColumnAt(table, c)->name).compare(name, Qt::CaseInsensitive) == 0)
                found = int(c);
        if (found < 0)
            RefuseStatement(statement->mdb, sql);
        cursor->columns_.push_back(found);
        cursor->fields_.append(MdbFieldDef(*statement->mdb, *ColumnAt(table, unsigned(found))));
    }
    return cursor;
}

std::unique_ptr<TResultCursor> TMdbCursor::Table(const QString& fileName, const QString& table,
                                                 int maxRecords) {
    std::unique_ptr<TMdbCursor> cursor(new TMdbCursor);
    cursor->mdb_ = OpenMdbFile(fileName);
    QByteArray name = table.toUtf8();
    cursor->ownTable_.reset(mdb_read_table_by_name(cursor->mdb_.get(), name.data(), MDB_TABLE));
    if (!cursor->ownTable_)
        throw EDatabaseError(QStringLiteral("Table %1 not found in this database").arg(table));
    MdbTableDef* def = cursor->ownTable_.get();
    if (!mdb_read_columns(def))
        throw EDatabaseError(QStringLiteral("mdbtools cannot read the columns of %1").arg(table));
    mdb_rewind_table(def);
    cursor->Bind(cursor->mdb_.get(), def);
    cursor->filter_ = std::make_unique<TMdbFilter>(def);
    cursor->limit_ = maxRecords > 0 ? maxRecords : -1;
    for (unsigned c = 0; c < def->num_cols; ++c) {
        cursor->columns_.push_back(int(c));
        cursor->fields_.append(MdbFieldDef(*cursor->mdb_, *ColumnAt(def, c)));
    }
    return cursor;
}

// The reader decodes straight from the page; bound columns would only make libmdb convert
// every value to text on each row.
void TMdbCursor::Bind(MdbHandle* mdb, MdbTableDef* table) {
    table_ = table;
    for (unsigned c = 0; c < table->num_cols; ++c) {
        ColumnAt(table, c)->bind_ptr = nullptr;
        ColumnAt(table, c)->len_ptr = nullptr;
    }
    reader_ = std::make_unique<TMdbRowReader>(mdb, table);
}

std::int64_t TMdbCursor::CountRows() {
    if (countFromTempTable_) {
        if (!mdb_fetch_row(table_))
            return 0;
        reader_->Load();
        const TMdbValue& value = reader_->Value(0);
        return value.kind == TMdbValue::Kind::Integer
                   ? value.integer
                   : QByteArray::fromStdString(value.data).toLongLong();
    }
    std::int64_t count = 0;
    while (mdb_fetch_row(table_)) {
        reader_->Load();
        if (filter_->Matches(*reader_))
            ++count;
    }
    return count;
}

bool TMdbCursor::Fetch(TRowStore& rows, qsizetype maxRows) {
    if (done_)
        return false;
    if (count_) {
        const std::int64_t count = CountRows();
        rows.BeginRow();
        rows.AddInteger(count);
        rows.EndRow();
        done_ = true;
        return false;
    }
    for (qsizetype added = 0; added < maxRows;) {
        if ((limit_ >= 0 && delivered_ >= limit_) || !mdb_fetch_row(table_)) {
            done_ = true;
            return false;
        }
        reader_->Load();
        if (!filter_->Matches(*reader_))
            continue;
        reader_->Append(rows, columns_);
        ++added;
        ++delivered_;
    }
    return true;
}

TUpdateResolver TMdbCursor::UpdateTarget() const {
    return RefuseUpdates(AccessReadOnlyReason());
}
