#pragma once

#include <QString>
#include <memory>

#include "db/DbBackend.h"

// A Jet/Access (.mdb, .accdb) file read through mdbtools' own library. Writing is not
// supported by mdbtools: statements that change data raise EDatabaseError saying so.
//
// The file is opened read-only. Tables are listed without the MSys* system tables, followed by
// the saved queries; a saved query runs where mdbtools can read its SQL (AccessQueries.h). Result
// cells are typed: Byte, Integer, Long Integer and Yes/No (1 or 0) as integers; Single, Double,
// Currency and Decimal as floats; Date/Time as ISO 8601 text
// ("1994-11-16T00:00:00"), which the data set shows in the locale's formats; Text and Memo as
// UTF-8 text, memos in full; OLE Object and Binary as bytes; Replication ID as "{...}" text.
// The SQL mdbtools understands is described with TMdbCursor (db/MdbCursor.h).
std::unique_ptr<DbBackend> CreateAccessBackend(const QString& fileName);

// Why nothing in an Access file can be changed, for every refusal to say the same.
QString AccessReadOnlyReason();
