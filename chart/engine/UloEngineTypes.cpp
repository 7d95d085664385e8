#include "chart/engine/UloEngineTypes.h"

int UloMaxPixel = 0x3FFFFFF;
