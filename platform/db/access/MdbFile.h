#pragma once

#include <QString>

#include "db/access/MdbApi.h"

// Opens an existing Jet/ACE file read-only through libmdb, its names and texts decoded to
// UTF-8 whatever MDB_ICONV says. Raises EDatabaseError for a missing file (which is never
// created), a file that is not a Jet/ACE database, or one libmdb cannot read.
MdbHandlePtr OpenMdbFile(const QString& fileName);
