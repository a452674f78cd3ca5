// The bitmap module's reason for its latest failure, as message text.
#pragma once

#include <string>

#include "bitmap/bitmap.h"

// Right after a failed module call: its status text. The module answers no text only for success,
// so the fallback shows only if a call failed without saying why.
inline std::string BitmapFailureText() {
    const char* text = BitmapStatusText();
    return text ? text : "failed for an unknown reason";
}
