#include "db/access/MdbFieldType.h"

namespace {

constexpr int kGuidTextLength = 38;

TFieldType FieldType(const MdbColumn& column) {
    switch (column.col_type) {
        case MDB_BOOL:
            return ftBoolean;
        case MDB_BYTE:
            return ftWord;
        case MDB_INT:
            return ftSmallint;
        case MDB_LONGINT:
            return column.is_long_auto ? ftAutoInc : ftInteger;
        case MDB_MONEY:
            return ftCurrency;
        case MDB_FLOAT:
        case MDB_DOUBLE:
            return ftFloat;
        case MDB_DATETIME:
            return ftDateTime;
        case MDB_BINARY:
            return ftVarBytes;
        case MDB_TEXT:
            return ftString;
        case MDB_OLE:
            return ftBlob;
        case MDB_MEMO:
            return ftMemo;
        case MDB_REPID:
            return ftGuid;
        case MDB_NUMERIC:
            return ftBCD;
        default:
            return ftUnknown;
    }
}

}  // namespace

TFieldDef MdbFieldDef(const MdbHandle& mdb, const MdbColumn& column) {
    TFieldDef def;
    def.Name = QString::fromUtf8(column.name);
    def.DataType = FieldType(column);
    switch (def.DataType) {
        case ftString:
            // Jet 4 and later store text as UCS-2: the declared size is in bytes.
            def.Size = mdb.f->jet_version == MDB_VER_JET3 ? column.col_size : column.col_size / 2;
            break;
        case ftVarBytes:
            def.Size = column.col_size;
            break;
        case ftGuid:
            def.Size = kGuidTextLength;
            break;
        case ftBCD:
            def.Size = column.col_scale;
            break;
        default:
            def.Size = 0;
    }
    return def;
}
