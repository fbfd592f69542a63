#include "db/DeclaredType.h"

#include <QRegularExpression>

namespace {

struct TTypeName {
    const char* name;
    TFieldType type;
};

// Whole type names (without the parenthesised size), upper case.
constexpr TTypeName kTypeNames[] = {
    {"INTEGER", ftInteger},
    {"INT", ftInteger},
    {"INT4", ftInteger},
    {"MEDIUMINT", ftInteger},
    {"SERIAL", ftAutoInc},
    {"BIGSERIAL", ftLargeint},
    {"SMALLSERIAL", ftSmallint},
    {"COUNTER", ftAutoInc},
    {"AUTOINCREMENT", ftAutoInc},
    {"BIGINT", ftLargeint},
    {"INT8", ftLargeint},
    {"UNSIGNED BIG INT", ftLargeint},
    {"SMALLINT", ftSmallint},
    {"INT2", ftSmallint},
    {"TINYINT", ftSmallint},
    {"BYTE", ftWord},
    {"WORD", ftWord},
    {"REAL", ftFloat},
    {"FLOAT", ftFloat},
    {"FLOAT4", ftFloat},
    {"FLOAT8", ftFloat},
    {"DOUBLE", ftFloat},
    {"DOUBLE PRECISION", ftFloat},
    {"NUMERIC", ftBCD},
    {"DECIMAL", ftBCD},
    {"MONEY", ftCurrency},
    {"CURRENCY", ftCurrency},
    {"SMALLMONEY", ftCurrency},
    {"TEXT", ftMemo},
    {"CLOB", ftMemo},
    {"NCLOB", ftMemo},
    {"NTEXT", ftMemo},
    {"MEMO", ftMemo},
    {"LONGTEXT", ftMemo},
    {"MEDIUMTEXT", ftMemo},
    {"JSON", ftMemo},
    {"JSONB", ftMemo},
    {"XML", ftMemo},
    {"CHAR", ftFixedChar},
    {"CHARACTER", ftFixedChar},
    {"NCHAR", ftFixedChar},
    {"NATIVE CHARACTER", ftFixedChar},
    {"BPCHAR", ftFixedChar},
    {"VARCHAR", ftString},
    {"NVARCHAR", ftString},
    {"VARCHAR2", ftString},
    {"NVARCHAR2", ftString},
    {"CHARACTER VARYING", ftString},
    {"VARYING CHARACTER", ftString},
    {"DATE", ftDate},
    {"TIME", ftTime},
    {"TIME WITHOUT TIME ZONE", ftTime},
    {"TIME WITH TIME ZONE", ftTime},
    {"TIMETZ", ftTime},
    {"DATETIME", ftDateTime},
    {"DATETIME2", ftDateTime},
    {"SMALLDATETIME", ftDateTime},
    {"TIMESTAMP", ftDateTime},
    {"TIMESTAMP WITHOUT TIME ZONE", ftDateTime},
    {"TIMESTAMP WITH TIME ZONE", ftDateTime},
    {"TIMESTAMPTZ", ftDateTime},
    {"BOOLEAN", ftBoolean},
    {"BOOL", ftBoolean},
    {"BIT", ftBoolean},
    {"YESNO", ftBoolean},
    {"BLOB", ftBlob},
    {"BYTEA", ftBlob},
    {"LONGBLOB", ftBlob},
    {"IMAGE", ftBlob},
    {"OLEOBJECT", ftBlob},
    {"BINARY", ftBytes},
    {"VARBINARY", ftVarBytes},
    {"GUID", ftGuid},
    {"UUID", ftGuid},
    {"UNIQUEIDENTIFIER", ftGuid},
};

bool HasTextLength(TFieldType type) {
    return type == ftString || type == ftFixedChar;
}

// SQLite's column affinity rules, for type names of its own invention.
TFieldType ByAffinity(const QString& upper) {
    if (upper.contains(QLatin1String("INT")))
        return ftInteger;
    if (upper.contains(QLatin1String("CHAR")) || upper.contains(QLatin1String("CLOB")) ||
        upper.contains(QLatin1String("TEXT")))
        return ftMemo;
    if (upper.contains(QLatin1String("BLOB")))
        return ftBlob;
    if (upper.contains(QLatin1String("REAL")) || upper.contains(QLatin1String("FLOA")) ||
        upper.contains(QLatin1String("DOUB")))
        return ftFloat;
    return ftString;
}

}  // namespace

TFieldDef FieldDefFromDeclaration(const QString& name, const QString& declaredType) {
    TFieldDef def;
    def.Name = name;
    QString text = declaredType.trimmed();
    if (text.endsWith(QLatin1String("[]"))) {
        def.DataType = ftArray;
        return def;
    }
    // The size may stand inside the name: "timestamp(3) with time zone".
    static const QRegularExpression size(QStringLiteral(R"(\(\s*(\d+)?\s*(?:,\s*(\d+)\s*)?\))"));
    const QRegularExpressionMatch match = size.match(text);
    const int first = match.captured(1).toInt();
    const int second = match.captured(2).toInt();
    if (match.hasMatch())
        text.remove(match.capturedStart(), match.capturedLength());
    const QString upper = text.toUpper().simplified();
    if (upper.isEmpty())
        return def;

    def.DataType = ByAffinity(upper);
    if (def.DataType == ftMemo && first > 0)
        def.DataType = ftString;
    bool known = false;
    for (const TTypeName& type : kTypeNames) {
        if (upper == QLatin1String(type.name)) {
            def.DataType = type.type;
            known = true;
            break;
        }
    }
    if (HasTextLength(def.DataType)) {
        if (first > 0)
            def.Size = first;
        else if (def.DataType == ftString && known)
            def.DataType = ftMemo;  // varchar without a length is unbounded
        else if (def.DataType == ftFixedChar)
            def.Size = 1;  // CHAR alone is one character
    } else if (def.DataType == ftBCD) {
        def.Size = second;
    }
    return def;
}

TFieldType FieldTypeOfValue(TRowStore::CellKind kind) {
    switch (kind) {
        case TRowStore::CellKind::Integer:
            return ftLargeint;
        case TRowStore::CellKind::Float:
            return ftFloat;
        case TRowStore::CellKind::Text:
            return ftString;
        case TRowStore::CellKind::Bytes:
            return ftBlob;
        case TRowStore::CellKind::Null:
            break;
    }
    return ftUnknown;
}
