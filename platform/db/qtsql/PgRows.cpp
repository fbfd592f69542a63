#include "db/qtsql/PgRows.h"

#include <QDate>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVariant>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

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
    kName = 19,
    kText = 25,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
};

// The days from 2000-01-01 to 4713-11-24 BC, the start of the Julian days.
constexpr qint64 kJulianDayOf2000 = 2451545;

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

// A number in network byte order.
template <typename Integer>
Integer BigEndian(std::string_view bytes) {
    std::make_unsigned_t<Integer> value = 0;
    for (std::size_t at = 0; at < sizeof(Integer) && at < bytes.size(); ++at)
        value = std::make_unsigned_t<Integer>(value << 8 | static_cast<unsigned char>(bytes[at]));
    return Integer(value);
}

// A date as the server writes it in ISO order: the ends of time as words, years before Christ
// counted from 1 with "BC" after them.
void AppendDate(std::int32_t days, TRowStore& rows) {
    if (days == std::numeric_limits<std::int32_t>::min())
        return rows.AddText("-infinity");
    if (days == std::numeric_limits<std::int32_t>::max())
        return rows.AddText("infinity");
    const QDate date = QDate::fromJulianDay(kJulianDayOf2000 + days);
    // Qt has no year 0: its year -1 is 1 BC.
    const int year = date.year();
    char text[32];
    char* end = text;
    const auto put = [&end](int value, int width) {
        char digits[12];
        char* const last = std::to_chars(digits, digits + sizeof digits, value).ptr;
        end = std::fill_n(end, std::max(0, width - int(last - digits)), '0');
        end = std::copy(digits, last, end);
    };
    put(year > 0 ? year : -year, 4);
    *end++ = '-';
    put(date.month(), 2);
    *end++ = '-';
    put(date.day(), 2);
    if (year < 0)
        end = std::copy_n(" BC", 3, end);
    rows.AddText({text, std::size_t(end - text)});
}

// A value in the binary form of one of the types PgBinaryRowsAsText allows.
void AppendBinaryValue(std::string_view bytes, unsigned int oid, TRowStore& rows) {
    switch (oid) {
        case kBool:
            return rows.AddInteger(!bytes.empty() && bytes[0] != 0 ? 1 : 0);
        case kInt2:
            return rows.AddInteger(BigEndian<std::int16_t>(bytes));
        case kInt4:
            return rows.AddInteger(BigEndian<std::int32_t>(bytes));
        case kInt8:
            return rows.AddInteger(BigEndian<std::int64_t>(bytes));
        case kOid:
        case kXid:
        case kCid:
            return rows.AddInteger(BigEndian<std::uint32_t>(bytes));
        case kFloat8:
            return rows.AddFloat(std::bit_cast<double>(BigEndian<std::uint64_t>(bytes)));
        case kDate:
            return AppendDate(BigEndian<std::int32_t>(bytes), rows);
        default:
            return rows.AddText(bytes);
    }
}

}  // namespace

void AppendPgRow(const void* result, int row, TRowStore& rows) {
    const TLibpq& pq = Libpq();
    const int columns = pq.nfields(result);
    const bool binary = columns > 0 && pq.fformat && pq.fformat(result, 0) == 1;
    rows.BeginRow();
    for (int column = 0; column < columns; ++column) {
        if (pq.getisnull(result, row, column)) {
            rows.AddNull();
            continue;
        }
        const std::string_view value(pq.getvalue(result, row, column),
                                     std::size_t(pq.getlength(result, row, column)));
        if (binary)
            AppendBinaryValue(value, pq.ftype(result, column), rows);
        else
            AppendValue(value, pq.ftype(result, column), rows);
    }
    rows.EndRow();
}

bool PgBinaryRowsAsText(const void* result, const void* connection) {
    const TLibpq& pq = Libpq();
    if (!result || !pq.fformat || !pq.parameterStatus)
        return false;
    for (int column = 0; column < pq.nfields(result); ++column) {
        switch (pq.ftype(result, column)) {
            case kBool:
            case kInt2:
            case kInt4:
            case kInt8:
            case kOid:
            case kXid:
            case kCid:
            case kFloat8:
            case kName:
            case kText:
            case kBpchar:
            case kVarchar:
                break;
            case kDate: {
                const char* style = pq.parameterStatus(connection, "DateStyle");
                if (!style || qstrncmp(style, "ISO", 3) != 0)
                    return false;
                break;
            }
            default:
                return false;
        }
    }
    return true;
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
