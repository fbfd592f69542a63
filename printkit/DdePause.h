#pragma once

#include <cstdint>

// The smallest pause, in milliseconds, between the rows the spreadsheet export hands over;
// one copy per program, loaded with the kit's settings and raised by the export itself.
extern uint16_t DdePause;
