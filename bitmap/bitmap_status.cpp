// The module-wide last status and its message texts.
#include "bitmap_status.h"

namespace {
BitmapStatus lastStatus = BitmapOk;

constexpr const char* kStatusTexts[] = {
    nullptr,
    "General error",
    "Could not allocate enough memory to complete the operation",
    "File input/output error",
    "File not found",
    "File is not a supported BMP variant (must be uncompressed 8, 24 or 32 BPP)",
    "File is not a valid BMP image",
    "An argument is invalid or out of range",
    "The requested action is not compatible with the BMP's type",
};
}  // namespace

void SetBitmapStatus(BitmapStatus status) { lastStatus = status; }

BitmapStatus LastBitmapStatus() { return lastStatus; }

const char* BitmapStatusText(BitmapStatus status) {
    // The status is a plain number; anything outside the table has no text.
    const int code = status;
    if (code < 1 || code > BitmapTypeMismatch) return nullptr;
    return kStatusTexts[code];
}

const char* BitmapStatusText() { return BitmapStatusText(lastStatus); }
