#include "db/dataset/Field.h"

#include "db/dataset/DataSet.h"
#include "db/dataset/FieldEdit.h"
#include "db/dataset/FieldText.h"

TField::TField(TDataSet& dataSet, int index, TFieldDef def)
    : dataSet_(dataSet), index_(index), def_(std::move(def)) {}

bool TField::IsNullAt(qsizetype row) const {
    qsizetype at;
    return dataSet_.StoreOf(row, at).IsNull(at, index_);
}

QString TField::TextAt(qsizetype row) const {
    qsizetype at;
    const TRowStore& rows = dataSet_.StoreOf(row, at);
    return CellText(rows, at, index_, def_.DataType);
}

QVariant TField::ValueAt(qsizetype row) const {
    qsizetype at;
    const TRowStore& rows = dataSet_.StoreOf(row, at);
    return CellValue(rows, at, index_, def_.DataType);
}

QString TField::EditTextAt(qsizetype row) const {
    qsizetype at;
    const TRowStore& rows = dataSet_.StoreOf(row, at);
    return CellEditText(rows, at, index_, def_.DataType);
}

void TField::SetValue(const QVariant& value) {
    dataSet_.SetFieldValue(index_, value);
}

void TField::SetAsString(const QString& text) {
    SetValue(FieldValueFromText(text, def_));
}

bool TField::IsNull() const {
    const qsizetype row = dataSet_.FieldRow();
    return row == TDataSet::kNoRow || IsNullAt(row);
}

QString TField::DisplayText() const {
    return IsBinary() ? QStringLiteral("(BLOB)") : AsString();
}

QString TField::AsString() const {
    const qsizetype row = dataSet_.FieldRow();
    return row == TDataSet::kNoRow ? QString() : TextAt(row);
}

QVariant TField::Value() const {
    const qsizetype row = dataSet_.FieldRow();
    return row == TDataSet::kNoRow ? QVariant() : ValueAt(row);
}

int TField::DisplayWidth() const {
    switch (def_.DataType) {
        case ftString:
        case ftFixedChar:
        case ftWideString:
            return def_.Size > 0 ? def_.Size : 20;
        case ftSmallint:
            return 6;
        case ftWord:
            return 5;
        case ftInteger:
        case ftAutoInc:
            return 11;
        case ftLargeint:
            return 15;
        case ftBoolean:
            return 5;
        case ftFloat:
        case ftCurrency:
        case ftBCD:
            return 10;
        case ftDate:
        case ftTime:
            return 10;
        case ftDateTime:
            return 18;
        case ftGuid:
            return 38;
        default:
            return 10;
    }
}

Qt::Alignment TField::Alignment() const {
    switch (def_.DataType) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftFloat:
        case ftCurrency:
        case ftBCD:
        case ftAutoInc:
        case ftLargeint:
            return Qt::AlignRight | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

bool TField::IsMemo() const {
    return def_.DataType == ftMemo || def_.DataType == ftFmtMemo || def_.DataType == ftOraClob;
}

bool TField::IsBinary() const {
    switch (def_.DataType) {
        case ftBlob:
        case ftGraphic:
        case ftParadoxOle:
        case ftDBaseOle:
        case ftTypedBinary:
        case ftOraBlob:
        case ftBytes:
        case ftVarBytes:
            return true;
        default:
            return false;
    }
}
