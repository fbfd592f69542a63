#pragma once

#include "db/dataset/FieldDef.h"
#include "db/access/MdbApi.h"

// A column of a Jet table as a field definition: Text(n) is ftString of n characters, Memo
// ftMemo, Long Integer ftInteger (ftAutoInc when it is an AutoNumber), Integer ftSmallint,
// Byte ftWord, Currency ftCurrency, Single and Double ftFloat, Date/Time ftDateTime, Yes/No
// ftBoolean, OLE Object ftBlob, Binary(n) ftVarBytes of n bytes, Replication ID ftGuid (size
// 38, its text form), Decimal ftBCD (size: its scale). Other types have size 0.
TFieldDef MdbFieldDef(const MdbHandle& mdb, const MdbColumn& column);
