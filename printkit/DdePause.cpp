#include "DdePause.h"

uint16_t DdePause = 0;
