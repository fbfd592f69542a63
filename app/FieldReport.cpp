#include "FieldReport.h"

#include <array>

namespace FieldReport {

namespace {

// Indexed by TFieldType.
constexpr std::array<const char*, 36> kTypeNames = {
    "Unknown",     "String",        "Integer",   "Long Integer", "Word (Int)",    "Boolean",
    "Float",       "Currency",      "BCD",       "Date",         "Time",          "DateTime",
    "Bytes",       "VarBytes",      "AutoInc",   "BLOB",         "Memo",          "Bitmap",
    "Format Memo", "Paradox OLE",   "dBASE OLE", "Typed binary", "Cursor output", "Fixed char",
    "Widestring",  "Large Integer", "ADT",       "Array",        "REF",           "DataSet",
    "Oracle BLOB", "Oracle CLOB",   "Variant",   "Interface?",   "IDispatch",     "GUID"};

// printf's "%-W.Ws": cut to `width`, padded with blanks on the right.
QString Left(const QString& text, int width) {
    return text.left(width).leftJustified(width);
}

// printf's "%W.Ws": cut to `width`, padded with blanks on the left.
QString Right(const QString& text, int width) {
    return text.left(width).rightJustified(width);
}

QString Columns(const QString& number, const QString& name, const QString& type,
                const QString& size) {
    return number + QLatin1Char(' ') + Left(name, 40) + QLatin1Char(' ') + Left(type, 15) +
           QLatin1Char(' ') + Right(size, 5);
}

}  // namespace

QString FieldTypeName(int dataType) {
    if (dataType < 0 || dataType >= int(kTypeNames.size()))
        return QStringLiteral("Unknown?");
    return QLatin1String(kTypeNames[dataType]);
}

QString FieldSizeText(int size) {
    return size == 0 ? QStringLiteral("-") : QString::number(size);
}

QString DatabaseFileLine(const QString& fileName) {
    return QStringLiteral("Database file: ") + fileName;
}

QString DatabaseNameLine(const QString& databaseName) {
    return QStringLiteral("Database name: ") + databaseName;
}

QString TableLine(const QString& tableName, int fieldCount) {
    return QStringLiteral("Table '") + tableName + QStringLiteral("' has ") +
           QString::number(fieldCount) + QStringLiteral(" fields:");
}

QString HeadingLine() {
    return Columns(Right(QStringLiteral("Nr:"), 3), QStringLiteral("Fieldname:"),
                   QStringLiteral("Type:"), QStringLiteral("Size:"));
}

QString FieldLine(int number, const QString& fieldName, const QString& typeName,
                  const QString& sizeText) {
    // "%3.3d": at least three digits, zero-padded; never cut.
    return Columns(QString::number(number).rightJustified(3, QLatin1Char('0')), fieldName, typeName,
                   sizeText);
}

}  // namespace FieldReport
