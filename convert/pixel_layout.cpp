// Layout names as users type them.
#include "convert/pixel_layout.h"

std::optional<PixelLayout> PixelLayoutNamed(std::string_view name) {
    for (const LayoutDescription& layout : kPixelLayouts)
        if (layout.name == name) return layout.layout;
    return std::nullopt;
}
