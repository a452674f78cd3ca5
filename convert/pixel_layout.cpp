// Layout names as users type them.
#include "convert/pixel_layout.h"

std::optional<PixelLayout> PixelLayoutNamed(std::string_view name) {
    if (name == "rgb666") return PixelLayout::Rgb666;
    if (name == "rgb666-high") return PixelLayout::Rgb666High;
    if (name == "rgb565") return PixelLayout::Rgb565;
    if (name == "rgb565-le") return PixelLayout::Rgb565Le;
    return std::nullopt;
}
