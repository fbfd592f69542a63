#include "db/qtsql/PgRows.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVariant>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "db/dataset/RowStore.h"
#include "db/qtsql/Libpq.h"

namespace {

// PostgreSQL type oids.
enum : unsigned int {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kXid = 28,
    kCid = 29,
    kFloat4 = 700,
    kFloat8 = 701,
};

void AppendValue(std::string_view text, unsigned int oid, TRowStore& rows) {
    switch (oid) {
        case kBool:
            return rows.AddInteger(!text.empty() && text[0] == 't' ? 1 : 0);
        case kInt8:
        case kInt2:
        case kInt4:
        case kOid:
        case kXid:
        case kCid: {
            std::int64_t value = 0;
            if (std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc())
                return rows.AddInteger(value);
            break;
        }
        case kFloat4:
        case kFloat8: {
            // from_chars, unlike strtod, reads the server's "." whatever the C locale says, and
            // it knows "Infinity" and "NaN".
            double value = 0;
            if (std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc())
                return rows.AddFloat(value);
            break;
        }
        case kBytea: {
            const TLibpq& pq = Libpq();
            std::size_t length = 0;
            unsigned char* bytes =
                pq.unescapeBytea(reinterpret_cast<const unsigned char*>(text.data()), &length);
            if (!bytes)
                break;
            rows.AddBytes({reinterpret_cast<const char*>(bytes), length});
            pq.freemem(bytes);
            return;
        }
        default:
            break;
    }
    rows.AddText(text);
}

}  // namespace

void AppendPgRow(const void* result, int row, TRowStore& rows) {
    const TLibpq& pq = Libpq();
    const int columns = pq.nfields(result);
    rows.BeginRow();
    for (int column = 0; column < columns; ++column) {
        if (pq.getisnull(result, row, column))
            rows.AddNull();
        else
            AppendValue(
                {pq.getvalue(result, row, column), std::size_t(pq.getlength(result, row, column))},
                pq.ftype(result, column), rows);
    }
    rows.EndRow();
}

void AppendQueryRow(const QSqlQuery& query, TRowStore& rows) {
    if (const void* result = PgResultOf(query); result && Libpq().freemem) {
        // A forward-only query of Qt's driver holds one row at a time (libpq's single-row mode).
        return AppendPgRow(result, query.isForwardOnly() ? 0 : query.at(), rows);
    }
    const int columns = query.record().count();
    rows.BeginRow();
    for (int column = 0; column < columns; ++column)
        rows.AddValue(query.value(column));
    rows.EndRow();
}

const void* PgResultOf(const QSqlQuery& query) {
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "pg_result*") != 0)
        return nullptr;
    return *static_cast<const void* const*>(handle.constData());
}
