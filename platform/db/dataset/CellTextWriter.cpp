#include "db/dataset/CellTextWriter.h"

#include <QLocale>
#include <algorithm>
#include <charconv>

#include "core/FloatText.h"
#include "db/dataset/FieldText.h"

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// Types whose stored text is shown as something else.
bool Interprets(TFieldType type) {
    return type == ftDate || type == ftTime || type == ftDateTime || type == ftBoolean ||
           type == ftBCD;
}

constexpr std::size_t kMostShown = 4096;
// Longer stored texts are rare in those types, and not worth keeping.
constexpr std::size_t kMostShownBytes = 64;

}  // namespace

TCellTextWriter::TCellTextWriter()
    : dates_(QLocale::system()),
      decimalPoint_(QLocale::system().decimalPoint()),
      decimalSeparator_(decimalPoint_.toStdString()) {}

void TCellTextWriter::Append(std::string& utf8, const TRowStore& rows, qsizetype row, int column,
                             TFieldType type) const {
    const TRowStore::CellKind kind = rows.Kind(row, column);
    if (kind == TRowStore::CellKind::Null)
        return;
    if (type != ftBoolean && kind == TRowStore::CellKind::Integer) {
        char digits[24];
        utf8.append(digits,
                    std::to_chars(digits, digits + sizeof digits, rows.Integer(row, column)).ptr);
        return;
    }
    if (type != ftBoolean && kind == TRowStore::CellKind::Float) {
        AppendFloatText(utf8, rows.Float(row, column), decimalSeparator_);
        return;
    }
    if (kind == TRowStore::CellKind::Text) {
        if (Interprets(type))
            return AppendShown(utf8, rows, row, column, type);
        // ASCII is valid UTF-8 as it stands; anything else is checked on the way through.
        if (const std::string_view text = rows.Raw(row, column); IsAscii(text)) {
            utf8.append(text);
            return;
        }
    }
    utf8.append(CellText(rows, row, column, type, dates_, decimalPoint_).toStdString());
}

void TCellTextWriter::AppendShown(std::string& utf8, const TRowStore& rows, qsizetype row,
                                  int column, TFieldType type) const {
    const std::string_view stored = rows.Raw(row, column);
    if (stored.size() > kMostShownBytes) {
        utf8.append(CellText(rows, row, column, type, dates_, decimalPoint_).toStdString());
        return;
    }
    std::string key(1, char(type));
    key += stored;
    auto found = shown_.find(key);
    if (found == shown_.end()) {
        if (shown_.size() >= kMostShown)
            shown_.clear();
        found = shown_
                    .emplace(std::move(key),
                             CellText(rows, row, column, type, dates_, decimalPoint_).toStdString())
                    .first;
    }
    utf8.append(found->second);
}
