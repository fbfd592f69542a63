#pragma once

// State shared by every kit instance and the grid adapter, one copy per program; only one
// composition runs at a time.

// Page number across a whole document (the adapter restarts it for every column group).
extern int DocumentPageNumber;
// Set by the adapter around a page break of its own, so that no page-start message is sent.
extern bool SuppressPageStart;
// Index of the last column group of the adapter's table; above 0 when it is split.
extern int LastColumnGroup;
// Number, from 1, of the column group being composed.
extern int ColumnGroupNumber;
