#include "db/access/MdbRowReader.h"

#include <QString>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>

#include "core/Exception.h"
#include "db/access/MdbDate.h"
#include "db/dataset/RowStore.h"

namespace {

// Row offsets on a data page carry flags in their top bits.
constexpr int kOffsetMask = 0x1fff;
constexpr quint32 kInlineValue = 0x80000000;
constexpr quint32 kSinglePageValue = 0x40000000;
constexpr quint32 kValueLengthMask = 0x3fffffff;

quint16 Le16(const unsigned char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 Le32(const unsigned char* p) {
    return qFromLittleEndian<quint32>(p);
}
quint64 Le64(const unsigned char* p) {
    return qFromLittleEndian<quint64>(p);
}

// A Single as the double a user reads in Access: 0.05 stays 0.05, not 0.0500000007450581.
double SingleToDouble(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double result = value;
    std::from_chars(text, written.ptr, result);
    return result;
}

std::string GuidText(const unsigned char* p) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  unsigned(Le32(p)), unsigned(Le16(p + 4)), unsigned(Le16(p + 6)), p[8], p[9],
                  p[10], p[11], p[12], p[13], p[14], p[15]);
    return text;
}

}  // namespace

TMdbRowReader::TMdbRowReader(MdbHandle* mdb, MdbTableDef* table)
    : mdb_(mdb),
      table_(table),
      cracked_(table->num_cols),
      fields_(table->num_cols),
      values_(table->num_cols),
      decoded_(table->num_cols, 0) {}

void TMdbRowReader::Load() {
    const auto damaged = [this] {
        return EDatabaseError(QStringLiteral("mdbtools cannot read a row of table %1")
                                  .arg(QString::fromUtf8(table_->name)));
    };
    int start = 0;
    size_t size = 0;
    // mdb_fetch_row has read row cur_row - 1 of the page now in pg_buf.
    const int row = int(table_->cur_row) - 1;
    if (row < 0 || mdb_find_row(mdb_, row, &start, &size) != 0 || size == 0)
        throw damaged();
    if (mdb_crack_row(table_, start & kOffsetMask, size, cracked_.data()) < 0)
        throw damaged();
    for (const MdbField& field : cracked_)
        if (field.colnum >= 0 && field.colnum < int(fields_.size()))
            fields_[field.colnum] = field;
    std::fill(decoded_.begin(), decoded_.end(), 0);
}

const TMdbValue& TMdbRowReader::Value(int column) {
    if (!decoded_[column]) {
        Decode(column, values_[column]);
        decoded_[column] = 1;
    }
    return values_[column];
}

void TMdbRowReader::Append(TRowStore& rows, const std::vector<int>& columns) {
    rows.BeginRow();
    for (const int column : columns) {
        const TMdbValue& value = Value(column);
        switch (value.kind) {
            case TMdbValue::Kind::Null:
                rows.AddNull();
                break;
            case TMdbValue::Kind::Integer:
                rows.AddInteger(value.integer);
                break;
            case TMdbValue::Kind::Float:
                rows.AddFloat(value.number);
                break;
            case TMdbValue::Kind::Text:
                rows.AddText(value.data);
                break;
            case TMdbValue::Kind::Bytes:
                rows.AddBytes(value.data);
                break;
        }
    }
    rows.EndRow();
}

void TMdbRowReader::Decode(int column, TMdbValue& value) {
    const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(table_->columns, column));
    const MdbField& field = fields_[column];
    value.data.clear();
    value.kind = TMdbValue::Kind::Null;
    // Yes/No lives in the null mask: a set bit is Yes.
    if (col->col_type == MDB_BOOL) {
        value.kind = TMdbValue::Kind::Integer;
        value.integer = field.is_null ? 0 : 1;
        return;
    }
    if (field.is_null)
        return;
    if (field.start < 0 || field.siz < 0 || field.start + field.siz > mdb_->fmt->pg_size)
        throw EDatabaseError(
            QStringLiteral("mdbtools cannot read column %1 of table %2")
                .arg(QString::fromUtf8(col->name), QString::fromUtf8(table_->name)));
    const unsigned char* p = mdb_->pg_buf + field.start;
    const int size = field.siz;
    const auto integer = [&value](std::int64_t number) {
        value.kind = TMdbValue::Kind::Integer;
        value.integer = number;
    };
    const auto floating = [&value](double number) {
        value.kind = TMdbValue::Kind::Float;
        value.number = number;
    };
    switch (col->col_type) {
        case MDB_BYTE:
            if (size >= 1)
                integer(p[0]);
            break;
        case MDB_INT:
            if (size >= 2)
                integer(qint16(Le16(p)));
            break;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            if (size >= 4)
                integer(qint32(Le32(p)));
            break;
        case MDB_MONEY:
            if (size >= 8)
                floating(double(qint64(Le64(p))) / 10000.0);
            break;
        case MDB_FLOAT:
            if (size >= 4)
                floating(SingleToDouble(std::bit_cast<float>(Le32(p))));
            break;
        case MDB_DOUBLE:
            if (size >= 8)
                floating(std::bit_cast<double>(Le64(p)));
            break;
        case MDB_DATETIME:
            if (size >= 8) {
                const double oleDate = std::bit_cast<double>(Le64(p));
                const QByteArray text = OleDateToIsoText(oleDate).toUtf8();
                if (text.isEmpty())
                    break;
                value.kind = TMdbValue::Kind::Text;
                value.data.assign(text.constData(), std::size_t(text.size()));
                value.number = oleDate;
            }
            break;
        case MDB_NUMERIC:
            if (size >= 17) {
                char* text =
                    mdb_numeric_to_string(mdb_, field.start, col->col_scale, col->col_prec);
                floating(QByteArray(text).toDouble());
                g_free(text);
            }
            break;
        case MDB_TEXT:
            value.kind = TMdbValue::Kind::Text;
            DecodeText(reinterpret_cast<const char*>(p), std::size_t(size), value.data);
            break;
        case MDB_REPID:
            if (size >= 16) {
                value.kind = TMdbValue::Kind::Text;
                value.data = GuidText(p);
            }
            break;
        case MDB_MEMO:
        case MDB_OLE: {
            std::string raw;
            if (!ReadLongValue(field, raw))
                throw EDatabaseError(
                    QStringLiteral("mdbtools cannot read the %1 value of table %2")
                        .arg(QString::fromUtf8(col->name), QString::fromUtf8(table_->name)));
            if (col->col_type == MDB_MEMO) {
                value.kind = TMdbValue::Kind::Text;
                DecodeText(raw.data(), raw.size(), value.data);
            } else {
                value.kind = TMdbValue::Kind::Bytes;
                value.data = std::move(raw);
            }
            break;
        }
        default:
            value.kind = TMdbValue::Kind::Bytes;
            value.data.assign(reinterpret_cast<const char*>(p), std::size_t(size));
    }
}

// A memo or OLE value: a 12-byte header in the row, the data inline after it, in one row of
// a value page, or in a chain of value rows each starting with the address of the next.
bool TMdbRowReader::ReadLongValue(const MdbField& field, std::string& out) {
    out.clear();
    if (field.siz < MDB_MEMO_OVERHEAD)
        return false;
    const unsigned char* header = mdb_->pg_buf + field.start;
    const quint32 flags = Le32(header);
    const std::size_t length = flags & kValueLengthMask;
    const int pageSize = int(mdb_->fmt->pg_size);

    if (flags & kInlineValue) {
        out.assign(reinterpret_cast<const char*>(header + MDB_MEMO_OVERHEAD),
                   std::size_t(field.siz - MDB_MEMO_OVERHEAD));
    } else {
        int pageRow = int(Le32(header + 4));
        const bool chained = !(flags & kSinglePageValue);
        while (pageRow != 0 && (!chained || out.size() < length)) {
            void* page = nullptr;
            int rowStart = 0;
            size_t rowSize = 0;
            if (mdb_find_pg_row(mdb_, pageRow, &page, &rowStart, &rowSize) != 0 || rowStart < 0 ||
                rowStart + int(rowSize) > pageSize)
                return false;
            const auto* row = static_cast<const unsigned char*>(page) + rowStart;
            if (!chained) {
                out.assign(reinterpret_cast<const char*>(row), rowSize);
                break;
            }
            // A link without data would let a damaged chain loop for ever.
            if (rowSize <= 4)
                return false;
            pageRow = int(Le32(row));
            out.append(reinterpret_cast<const char*>(row + 4), rowSize - 4);
        }
    }
    if (out.size() > length)
        out.resize(length);
    return true;
}

void TMdbRowReader::DecodeText(const char* bytes, std::size_t size, std::string& out) {
    // At most three UTF-8 bytes come from each source byte (CP125x, compressed or plain UCS-2).
    const std::size_t capacity = size * 3 + 16;
    if (textBuffer_.size() < capacity)
        textBuffer_.resize(capacity);
    const int length = mdb_unicode2ascii(mdb_, bytes, size, textBuffer_.data(), capacity - 1);
    out.assign(textBuffer_.data(), std::size_t(std::max(length, 0)));
}
