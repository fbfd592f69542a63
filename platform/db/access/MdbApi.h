#pragma once

// mdbtools' headers include glib inside their extern "C" block, which C++ compilers refuse
// (glib brings C++ templates); glib must come first so that its guards keep it out of there.
#include <glib.h>
#include <mdbsql.h>

#include <memory>

struct MdbHandleCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct MdbTableFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
// mdb_sql_exit also closes the file handle the statement owns.
struct MdbSqlExiter {
    void operator()(MdbSQL* sql) const { mdb_sql_exit(sql); }
};

using MdbHandlePtr = std::unique_ptr<MdbHandle, MdbHandleCloser>;
using MdbTablePtr = std::unique_ptr<MdbTableDef, MdbTableFreer>;
using MdbSqlPtr = std::unique_ptr<MdbSQL, MdbSqlExiter>;
