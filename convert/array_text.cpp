// The heads and tails of both C styles, and arrays of bytes made elsewhere.
#include "array_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pixel_text.h"

namespace {

constexpr std::size_t kPiece = 1024;

// The array's name may be longer than the buffer takes in one piece.
void AppendName(OutputBuffer& buffer, const std::string& name) {
    for (std::size_t at = 0; at < name.size(); at += kPiece)
        buffer.Append(name.data() + at, name.size() - at < kPiece ? name.size() - at : kPiece);
}

// The name upper-cased, for the guard and the size macros (names are C identifiers, plain ASCII).
void AppendUpperName(OutputBuffer& buffer, const std::string& name) {
    char piece[kPiece];
    for (std::size_t at = 0; at < name.size(); at += kPiece) {
        const std::size_t length = name.size() - at < kPiece ? name.size() - at : kPiece;
        for (std::size_t i = 0; i < length; ++i) {
            const char c = name[at + i];
            piece[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        buffer.Append(piece, length);
    }
}

void AppendSizeMacro(OutputBuffer& buffer, const std::string& name, const char* side, std::uint16_t value) {
    AppendText(buffer, "#define ");
    AppendUpperName(buffer, name);
    char text[16];
    const int length = std::snprintf(text, sizeof text, "_%s %u\n", side, unsigned{value});
    buffer.Append(text, static_cast<std::size_t>(length));
}

void PutStdintHead(OutputBuffer& buffer, const OutputOptions& options, bool wordElements, std::uint16_t width,
                   std::uint16_t height) {
    const std::string& name = options.arrayName;
    AppendText(buffer, "#ifndef ");
    AppendUpperName(buffer, name);
    AppendText(buffer, "_H\n#define ");
    AppendUpperName(buffer, name);
    AppendText(buffer, "_H\n\n#include <stdint.h>\n\n");
    AppendSizeMacro(buffer, name, "WIDTH", width);
    AppendSizeMacro(buffer, name, "HEIGHT", height);
    AppendText(buffer, wordElements ? "\nstatic const uint16_t " : "\nstatic const uint8_t ");
    AppendName(buffer, name);
    AppendText(buffer, "[] ");
    if (!options.cAttribute.empty()) {
        AppendName(buffer, options.cAttribute);
        AppendText(buffer, " ");
    }
    AppendText(buffer, "= {\n");
}

}  // namespace

void AppendText(OutputBuffer& buffer, const char* text) { buffer.Append(text, std::strlen(text)); }

void PutArrayHead(OutputBuffer& buffer, const OutputOptions& options, bool wordElements, std::uint16_t width,
                  std::uint16_t height) {
    if (options.cStyle == CStyle::Stdint) return PutStdintHead(buffer, options, wordElements, width, height);
    AppendText(buffer, "\nconst unsigned char ");
    AppendName(buffer, options.arrayName);
    AppendText(buffer, "[]={ ");
}

void PutArrayTail(OutputBuffer& buffer, CStyle style, bool lineOpen, bool empty) {
    if (style == CStyle::Window) return AppendText(buffer, " };\n");
    if (lineOpen) AppendText(buffer, "\n");
    if (empty) AppendText(buffer, "    0 /* no pixels */\n");
    AppendText(buffer, "};\n\n#endif\n");
}

int WriteByteArrayText(ByteSource& source, std::uint16_t width, std::uint16_t height, const OutputOptions& options,
                       std::FILE* out) {
    const bool window = options.cStyle == CStyle::Window;
    // The window's 18 numbers of six pixels, or 12 bytes as the stdint header writes three-byte pixels.
    const unsigned perLine = window ? 18 : 12;
    // The C library's reason for a failed write is kept from here on, as WriteDisplayData keeps it.
    errno = 0;
    OutputBuffer buffer(out);
    PutArrayHead(buffer, options, false, width, height);
    std::uint8_t bytes[1024];
    unsigned column = 0;
    bool first = true;
    for (std::size_t count; (count = source.Read(bytes, sizeof bytes)) != 0;) {
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* const start = buffer.Reserve(16);
            std::uint8_t* target = start;
            if (window) {
                target = first ? pixel_text::PutNumber(target, bytes[i]) : pixel_text::PutCommaNumber(target, bytes[i]);
            } else {
                if (column == 0) target = static_cast<std::uint8_t*>(std::memcpy(target, "   ", 3)) + 3;
                target = pixel_text::PutHexByte(target, bytes[i]);
            }
            first = false;
            if (++column == perLine) {
                *target++ = '\n';
                column = 0;
            }
            buffer.Commit(static_cast<std::size_t>(target - start));
        }
    }
    PutArrayTail(buffer, options.cStyle, column != 0, first);
    if (buffer.Finish()) return 0;
    return errno != 0 ? errno : EIO;
}
