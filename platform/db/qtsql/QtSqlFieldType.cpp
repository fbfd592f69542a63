#include "db/qtsql/QtSqlFieldType.h"

#include <QMetaType>

namespace {

// PostgreSQL: for text types length is the declared length, -1 when none.
TFieldDef FromPostgresType(int oid, int length, int precision, TFieldDef def) {
    switch (oid) {
        case 16:
            def.DataType = ftBoolean;
            break;
        case 17:
            def.DataType = ftBlob;
            break;
        case 18:
            def.DataType = ftFixedChar;
            def.Size = 1;
            break;
        case 19:
            def.DataType = ftString;
            def.Size = 63;
            break;
        case 20:
            def.DataType = ftLargeint;
            break;
        case 21:
            def.DataType = ftSmallint;
            break;
        case 23:
        case 26:
            def.DataType = ftInteger;
            break;
        case 25:
        case 114:
        case 142:
        case 3802:
            def.DataType = ftMemo;
            break;
        case 700:
        case 701:
            def.DataType = ftFloat;
            break;
        case 790:
            def.DataType = ftCurrency;
            break;
        case 1042:
            def.DataType = ftFixedChar;
            def.Size = length > 0 ? length : 1;
            break;
        case 1043:
            def.DataType = length > 0 ? ftString : ftMemo;
            def.Size = length > 0 ? length : 0;
            break;
        case 1082:
            def.DataType = ftDate;
            break;
        case 1083:
        case 1266:
            def.DataType = ftTime;
            break;
        case 1114:
        case 1184:
            def.DataType = ftDateTime;
            break;
        case 1700:
            def.DataType = ftBCD;
            // Qt splits numeric(p,s) into length p and precision s; older drivers left the
            // raw modifier in the length.
            def.Size = length > 0xffff ? (length & 0xffff) : qMax(precision, 0);
            break;
        case 2950:
            def.DataType = ftGuid;
            break;
        default:
            def.DataType = ftUnknown;
    }
    return def;
}

// ODBC SQL data types (sql.h, sqlext.h).
TFieldDef FromOdbcType(int sqlType, int length, int precision, TFieldDef def) {
    switch (sqlType) {
        case 1:   // SQL_CHAR
        case -8:  // SQL_WCHAR
            def.DataType = ftFixedChar;
            def.Size = qMax(length, 0);
            break;
        case 12:  // SQL_VARCHAR
        case -9:  // SQL_WVARCHAR
            def.DataType = length > 0 ? ftString : ftMemo;
            def.Size = qMax(length, 0);
            break;
        case -1:   // SQL_LONGVARCHAR
        case -10:  // SQL_WLONGVARCHAR
            def.DataType = ftMemo;
            break;
        case 2:  // SQL_NUMERIC
        case 3:  // SQL_DECIMAL
            def.DataType = ftBCD;
            def.Size = qMax(precision, 0);
            break;
        case 4:
            def.DataType = ftInteger;
            break;
        case 5:
        case -6:  // SQL_TINYINT
            def.DataType = ftSmallint;
            break;
        case -5:
            def.DataType = ftLargeint;
            break;
        case 6:
        case 7:
        case 8:
            def.DataType = ftFloat;
            break;
        case -7:
            def.DataType = ftBoolean;
            break;
        case 9:
        case 91:
            def.DataType = ftDate;
            break;
        case 10:
        case 92:
            def.DataType = ftTime;
            break;
        case 11:
        case 93:
            def.DataType = ftDateTime;
            break;
        case -2:
            def.DataType = ftBytes;
            break;
        case -3:
            def.DataType = ftVarBytes;
            break;
        case -4:
            def.DataType = ftBlob;
            break;
        case -11:
            def.DataType = ftGuid;
            break;
        default:
            def.DataType = ftUnknown;
    }
    return def;
}

TFieldDef FromValueType(const QSqlField& field, TFieldDef def) {
    switch (field.metaType().id()) {
        case QMetaType::Bool:
            def.DataType = ftBoolean;
            break;
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            def.DataType = ftSmallint;
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
            def.DataType = ftInteger;
            break;
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
            def.DataType = ftLargeint;
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            def.DataType = ftFloat;
            break;
        case QMetaType::QDate:
            def.DataType = ftDate;
            break;
        case QMetaType::QTime:
            def.DataType = ftTime;
            break;
        case QMetaType::QDateTime:
            def.DataType = ftDateTime;
            break;
        case QMetaType::QByteArray:
            def.DataType = ftBlob;
            break;
        case QMetaType::QUuid:
            def.DataType = ftGuid;
            break;
        default:
            def.DataType = field.length() > 0 ? ftString : ftMemo;
            def.Size = qMax(field.length(), 0);
    }
    return def;
}

}  // namespace

TFieldDef FieldDefFromSqlField(const QSqlField& field, const QString& driverName) {
    TFieldDef def;
    def.Name = field.name();
    TFieldDef typed = def;
    if (driverName == QLatin1String("QPSQL"))
        typed = FromPostgresType(field.typeID(), field.length(), field.precision(), def);
    else if (driverName == QLatin1String("QODBC"))
        typed = FromOdbcType(field.typeID(), field.length(), field.precision(), def);
    return typed.DataType == ftUnknown ? FromValueType(field, def) : typed;
}
