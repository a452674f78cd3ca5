// Internal: how operations of the module leave their status behind.
#pragma once

#include "bitmap/bitmap.h"

void SetBitmapStatus(BitmapStatus status);
