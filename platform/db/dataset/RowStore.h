#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// The rows of an open data set, packed: each row is one run of tagged cells (null, integer,
// float, UTF-8 text, bytes) in large chunks, so a result holds little more than its text.
// Dates and times are kept as ISO 8601 text; the field's type says how to show them.
// Rows and columns count from 0. Used on one thread at a time (reads keep a lookup cache).
class TRowStore {
  public:
    void Reset(int columnCount);
    int ColumnCount() const { return columnCount_; }
    qsizetype RowCount() const { return qsizetype(rowStarts_.size()); }

    // Appending one row: BeginRow, one Add per column, EndRow.
    void BeginRow();
    void AddNull();
    void AddInteger(std::int64_t value);
    void AddFloat(double value);
    void AddText(std::string_view utf8);
    void AddBytes(std::string_view bytes);
    // A value of any type Qt SQL drivers deliver, or a TRawText.
    void AddValue(const QVariant& value);
    void EndRow();

    enum class CellKind : std::uint8_t { Null, Integer, Float, Text, Bytes };
    CellKind Kind(qsizetype row, int column) const;
    bool IsNull(qsizetype row, int column) const { return Kind(row, column) == CellKind::Null; }
    std::int64_t Integer(qsizetype row, int column) const;
    double Float(qsizetype row, int column) const;
    std::string_view Raw(qsizetype row, int column) const;  // text or bytes as stored
    // Integers as qlonglong, floats as double, bytes as QByteArray, text as QString, or as a
    // TRawText when its bytes are not UTF-8; AddValue stores each back as it was.
    QVariant Value(qsizetype row, int column) const;

    // Replaces one row in place (the editable grid); the row keeps its position.
    void ReplaceRow(qsizetype row, const QVariantList& values);
    void AppendRow(const QVariantList& values);
    // Puts a row before `row` (RowCount() appends); later rows move down by one.
    void InsertRow(qsizetype row, const QVariantList& values);
    void RemoveRow(qsizetype row);
    // One row's values, as Value gives them.
    QVariantList RowValues(qsizetype row) const;

    std::size_t MemoryUsed() const;

  private:
    const char* CellAt(qsizetype row, int column) const;
    char* Reserve(std::size_t bytes);
    char* NewChunk(std::size_t bytes);
    void AddVarBytes(std::uint8_t tag, std::string_view bytes);
    const char* FinishRow();
    void WriteRow(const QVariantList& values);

    int columnCount_ = 0;
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t chunkUsed_ = 0, chunkSize_ = 0, allocated_ = 0;
    std::vector<const char*> rowStarts_;
    std::size_t rowBegin_ = 0;  // offset of the row being appended in the last chunk
    int cellsInRow_ = 0;

    // Reading a row cell by cell is the common pattern: continue from the last cell found.
    mutable qsizetype cachedRow_ = -1;
    mutable int cachedColumn_ = 0;
    mutable const char* cachedCell_ = nullptr;
};
