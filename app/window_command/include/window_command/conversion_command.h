// The one command of the program: choose a BMP file, convert it to 6-bit display data beside it, and
// report every step in the results text.
#pragma once

#include "window_operations.h"

// Runs one press of "Convert BMP" to its end. Every outcome is reported through window.SetMemo1Text.
void RunConversionCommand(WindowOperations& window);
