#include "db/dataset/RowStore.h"

#include <QDate>
#include <QDateTime>
#include <QStringDecoder>
#include <QTime>
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "db/dataset/RawText.h"

// Cell layout: one tag byte, then the payload. Integers take the smallest of 1, 2, 4 or 8
// bytes; text and bytes a LEB128 length and the bytes.
namespace {

enum Tag : std::uint8_t { tNull, tInt8, tInt16, tInt32, tInt64, tFloat, tText, tBytes };

constexpr std::size_t kFirstChunk = 64 * 1024;
constexpr std::size_t kLargestChunk = 4 * 1024 * 1024;

template <typename T>
T Load(const char* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

const char* ReadLength(const char* p, std::size_t& length) {
    length = 0;
    int shift = 0;
    std::uint8_t byte;
    do {
        byte = std::uint8_t(*p++);
        length |= std::size_t(byte & 0x7f) << shift;
        shift += 7;
    } while (byte & 0x80);
    return p;
}

const char* SkipCell(const char* p) {
    switch (std::uint8_t(*p)) {
        case tNull:
            return p + 1;
        case tInt8:
            return p + 2;
        case tInt16:
            return p + 3;
        case tInt32:
            return p + 5;
        case tInt64:
        case tFloat:
            return p + 9;
        default: {
            std::size_t length;
            const char* data = ReadLength(p + 1, length);
            return data + length;
        }
    }
}

QString IsoText(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::QDate:
            return value.toDate().toString(Qt::ISODate);
        case QMetaType::QTime:
            return value.toTime().toString(Qt::ISODateWithMs);
        default: {
            // Its own fields, not the moment: a local time the clock skips (the hour that
            // daylight saving jumps over) is no valid moment and would be written as nothing.
            const QDateTime stamp = value.toDateTime();
            if (stamp.isValid() || !stamp.date().isValid() || !stamp.time().isValid())
                return stamp.toString(Qt::ISODateWithMs);
            return stamp.date().toString(Qt::ISODate) + QLatin1Char('T') +
                   stamp.time().toString(Qt::ISODateWithMs);
        }
    }
}

// Text as a QString when that gives back the same bytes (a leading byte order mark kept, which
// QString::fromUtf8 drops), else as the bytes themselves.
QVariant TextValue(std::string_view raw) {
    const QByteArrayView bytes(raw.data(), qsizetype(raw.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError() && text.toUtf8() == bytes)
        return text;
    static const bool converts = QMetaType::registerConverter<TRawText, QString>(&TRawText::Shown);
    Q_UNUSED(converts);
    return QVariant::fromValue(TRawText{QByteArray(raw.data(), qsizetype(raw.size()))});
}

}  // namespace

void TRowStore::Reset(int columnCount) {
    columnCount_ = columnCount;
    chunks_.clear();
    chunkUsed_ = chunkSize_ = allocated_ = 0;
    rowStarts_.clear();
    rowStarts_.shrink_to_fit();
    rowBegin_ = 0;
    cellsInRow_ = 0;
    cachedRow_ = -1;
}

char* TRowStore::NewChunk(std::size_t bytes) {
    // The row being appended moves along, so that every row lies in one chunk.
    const std::size_t partial = chunkUsed_ - rowBegin_;
    const std::size_t nominal =
        chunkSize_ == 0 ? kFirstChunk : std::min(chunkSize_ * 2, kLargestChunk);
    const std::size_t size = std::max(nominal, partial + bytes);
    auto chunk = std::make_unique<char[]>(size);
    if (partial > 0)
        std::memcpy(chunk.get(), chunks_.back().get() + rowBegin_, partial);
    if (!chunks_.empty() && rowBegin_ == 0) {
        allocated_ -= chunkSize_;
        chunks_.back() = std::move(chunk);
    } else {
        chunks_.push_back(std::move(chunk));
    }
    allocated_ += size;
    chunkSize_ = size;
    rowBegin_ = 0;
    chunkUsed_ = partial + bytes;
    return chunks_.back().get() + partial;
}

char* TRowStore::Reserve(std::size_t bytes) {
    if (chunkUsed_ + bytes > chunkSize_)
        return NewChunk(bytes);
    char* p = chunks_.back().get() + chunkUsed_;
    chunkUsed_ += bytes;
    return p;
}

void TRowStore::BeginRow() {
    rowBegin_ = chunkUsed_;
    cellsInRow_ = 0;
}

void TRowStore::AddNull() {
    *Reserve(1) = char(tNull);
    ++cellsInRow_;
}

void TRowStore::AddInteger(std::int64_t value) {
    if (value >= INT8_MIN && value <= INT8_MAX) {
        char* p = Reserve(2);
        p[0] = char(tInt8);
        p[1] = char(std::int8_t(value));
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        char* p = Reserve(3);
        p[0] = char(tInt16);
        const auto v = std::int16_t(value);
        std::memcpy(p + 1, &v, sizeof v);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        char* p = Reserve(5);
        p[0] = char(tInt32);
        const auto v = std::int32_t(value);
        std::memcpy(p + 1, &v, sizeof v);
    } else {
        char* p = Reserve(9);
        p[0] = char(tInt64);
        std::memcpy(p + 1, &value, sizeof value);
    }
    ++cellsInRow_;
}

void TRowStore::AddFloat(double value) {
    char* p = Reserve(9);
    p[0] = char(tFloat);
    std::memcpy(p + 1, &value, sizeof value);
    ++cellsInRow_;
}

void TRowStore::AddVarBytes(std::uint8_t tag, std::string_view bytes) {
    char header[11];
    std::size_t n = 0;
    header[n++] = char(tag);
    std::size_t length = bytes.size();
    do {
        std::uint8_t byte = length & 0x7f;
        length >>= 7;
        if (length)
            byte |= 0x80;
        header[n++] = char(byte);
    } while (length);
    char* p = Reserve(n + bytes.size());
    std::memcpy(p, header, n);
    if (!bytes.empty())
        std::memcpy(p + n, bytes.data(), bytes.size());
    ++cellsInRow_;
}

void TRowStore::AddText(std::string_view utf8) {
    AddVarBytes(tText, utf8);
}

void TRowStore::AddBytes(std::string_view bytes) {
    AddVarBytes(tBytes, bytes);
}

void TRowStore::AddValue(const QVariant& value) {
    if (value.isNull())
        return AddNull();
    switch (value.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::UInt:
            return AddInteger(value.toLongLong());
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            if (value.toULongLong() > std::uint64_t(INT64_MAX))
                return AddFloat(value.toDouble());
            return AddInteger(value.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return AddFloat(value.toDouble());
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return AddBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        }
        case QMetaType::QDate:
        case QMetaType::QTime:
        case QMetaType::QDateTime: {
            const QByteArray text = IsoText(value).toUtf8();
            return AddText(std::string_view(text.constData(), std::size_t(text.size())));
        }
        default: {
            if (value.metaType() == QMetaType::fromType<TRawText>()) {
                const QByteArray bytes = value.value<TRawText>().Bytes;
                return AddText(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            }
            const QByteArray text = value.toString().toUtf8();
            return AddText(std::string_view(text.constData(), std::size_t(text.size())));
        }
    }
}

const char* TRowStore::FinishRow() {
    if (cellsInRow_ != columnCount_)
        throw std::logic_error("TRowStore: a row must have one cell per column");
    if (chunks_.empty())
        NewChunk(0);  // a row of no columns still needs an address
    const char* start = chunks_.back().get() + rowBegin_;
    rowBegin_ = chunkUsed_;
    cellsInRow_ = 0;
    return start;
}

void TRowStore::EndRow() {
    rowStarts_.push_back(FinishRow());
}

void TRowStore::WriteRow(const QVariantList& values) {
    if (values.size() != columnCount_)
        throw std::logic_error("TRowStore: a row must have one value per column");
    BeginRow();
    for (const QVariant& value : values)
        AddValue(value);
}

void TRowStore::ReplaceRow(qsizetype row, const QVariantList& values) {
    WriteRow(values);
    rowStarts_.at(std::size_t(row)) = FinishRow();
    cachedRow_ = -1;
}

void TRowStore::AppendRow(const QVariantList& values) {
    WriteRow(values);
    EndRow();
}

void TRowStore::InsertRow(qsizetype row, const QVariantList& values) {
    if (row < 0 || row > RowCount())
        throw std::out_of_range("TRowStore: row out of range");
    WriteRow(values);
    rowStarts_.insert(rowStarts_.begin() + row, FinishRow());
    cachedRow_ = -1;
}

QVariantList TRowStore::RowValues(qsizetype row) const {
    QVariantList values;
    values.reserve(columnCount_);
    for (int column = 0; column < columnCount_; ++column)
        values << Value(row, column);
    return values;
}

void TRowStore::RemoveRow(qsizetype row) {
    if (row < 0 || row >= RowCount())
        throw std::out_of_range("TRowStore: row out of range");
    rowStarts_.erase(rowStarts_.begin() + row);
    cachedRow_ = -1;
}

const char* TRowStore::CellAt(qsizetype row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= columnCount_)
        throw std::out_of_range("TRowStore: cell out of range");
    const char* p;
    int at;
    if (row == cachedRow_ && column >= cachedColumn_) {
        p = cachedCell_;
        at = cachedColumn_;
    } else {
        p = rowStarts_[std::size_t(row)];
        at = 0;
    }
    for (; at < column; ++at)
        p = SkipCell(p);
    cachedRow_ = row;
    cachedColumn_ = column;
    cachedCell_ = p;
    return p;
}

TRowStore::CellKind TRowStore::Kind(qsizetype row, int column) const {
    switch (std::uint8_t(*CellAt(row, column))) {
        case tNull:
            return CellKind::Null;
        case tFloat:
            return CellKind::Float;
        case tText:
            return CellKind::Text;
        case tBytes:
            return CellKind::Bytes;
        default:
            return CellKind::Integer;
    }
}

std::int64_t TRowStore::Integer(qsizetype row, int column) const {
    const char* p = CellAt(row, column);
    switch (std::uint8_t(*p)) {
        case tInt8:
            return std::int8_t(p[1]);
        case tInt16:
            return Load<std::int16_t>(p + 1);
        case tInt32:
            return Load<std::int32_t>(p + 1);
        case tInt64:
            return Load<std::int64_t>(p + 1);
        case tFloat:
            return std::int64_t(Load<double>(p + 1));
        default:
            return 0;
    }
}

double TRowStore::Float(qsizetype row, int column) const {
    const char* p = CellAt(row, column);
    if (std::uint8_t(*p) == tFloat)
        return Load<double>(p + 1);
    return double(Integer(row, column));
}

std::string_view TRowStore::Raw(qsizetype row, int column) const {
    const char* p = CellAt(row, column);
    if (std::uint8_t(*p) != tText && std::uint8_t(*p) != tBytes)
        return {};
    std::size_t length;
    const char* data = ReadLength(p + 1, length);
    return {data, length};
}

QVariant TRowStore::Value(qsizetype row, int column) const {
    switch (Kind(row, column)) {
        case CellKind::Null:
            return {};
        case CellKind::Integer:
            return QVariant(qlonglong(Integer(row, column)));
        case CellKind::Float:
            return QVariant(Float(row, column));
        case CellKind::Text:
            return TextValue(Raw(row, column));
        case CellKind::Bytes: {
            const std::string_view raw = Raw(row, column);
            return QByteArray(raw.data(), qsizetype(raw.size()));
        }
    }
    return {};
}

std::size_t TRowStore::MemoryUsed() const {
    return allocated_ + rowStarts_.capacity() * sizeof(const char*) +
           chunks_.capacity() * sizeof(chunks_[0]);
}
