#include "ProgramCounters.h"

int DocumentPageNumber = 0;
bool SuppressPageStart = false;
int LastColumnGroup = -1;
int ColumnGroupNumber = 0;
