// Writes the decode target's seed corpus: small pictures of every kind the installed Qt writes, and
// hand-written files of the kinds it only reads (GIF; BMP with other headers, top-down, run-length,
// bit fields), each also cut short once. Usage: fuzz_decode_seeds FOLDER
#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

QString g_folder;
bool g_ok = true;

void Save(const QString& name, const QByteArray& bytes) {
    QFile file(g_folder + "/" + name);
    g_ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && g_ok;
}

// The whole file, and the same cut to two thirds.
void SaveWithCut(const QString& name, const QByteArray& bytes) {
    Save(name, bytes);
    Save("cut-" + name, bytes.left(bytes.size() * 2 / 3));
}

QByteArray Written(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    g_ok = writer.write(image) && g_ok;
    return bytes;
}

QImage Pattern(int width, int height, QImage::Format format) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgba(x * 19, y * 37, (x ^ y) * 29, 255 - x * y * 3));
    return image.convertToFormat(format);
}

void Le16(QByteArray& b, unsigned v) { b.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)); }
void Le32(QByteArray& b, std::uint32_t v) { Le16(b, v & 0xFFFF), Le16(b, v >> 16); }

QByteArray Bmp(std::uint32_t headerSize, std::int32_t width, std::int32_t height, unsigned depth,
               std::uint32_t compression, const QByteArray& table, const QByteArray& pixels) {
    QByteArray b("BM");
    const std::uint32_t offset = 14 + headerSize + static_cast<std::uint32_t>(table.size());
    Le32(b, offset + static_cast<std::uint32_t>(pixels.size())), Le32(b, 0), Le32(b, offset);
    Le32(b, headerSize);
    if (headerSize == 12) {
        Le16(b, static_cast<unsigned>(width)), Le16(b, static_cast<unsigned>(height)), Le16(b, 1), Le16(b, depth);
    } else {
        Le32(b, static_cast<std::uint32_t>(width)), Le32(b, static_cast<std::uint32_t>(height));
        Le16(b, 1), Le16(b, depth), Le32(b, compression), Le32(b, static_cast<std::uint32_t>(pixels.size()));
        // Tables of indexed pictures are counted; bit-field masks are not.
        const auto colours = depth <= 8 ? static_cast<std::uint32_t>(table.size() / 4) : 0u;
        Le32(b, 2835), Le32(b, 2835), Le32(b, colours), Le32(b, 0);
        b.resize(14 + static_cast<int>(headerSize), '\0');
    }
    return b + table + pixels;
}

void WriteSeeds() {
    const QImage rgb = Pattern(13, 7, QImage::Format_RGB32);
    SaveWithCut("rgb.png", Written(rgb, "png"));
    SaveWithCut("alpha.png", Written(Pattern(13, 7, QImage::Format_ARGB32), "png"));
    Save("palette.png", Written(Pattern(13, 7, QImage::Format_Indexed8), "png"));
    Save("grey.png", Written(Pattern(13, 7, QImage::Format_Grayscale8), "png"));
    Save("deep.png", Written(Pattern(13, 7, QImage::Format_RGBA64), "png"));
    QImage profiled = rgb;
    profiled.setColorSpace(QColorSpace::AdobeRgb);
    Save("profiled.png", Written(profiled, "png"));
    SaveWithCut("baseline.jpg", Written(rgb, "jpeg"));
    Save("progressive.jpg", Written(rgb, "jpeg", true));
    Save("grey.jpg", Written(Pattern(13, 7, QImage::Format_Grayscale8), "jpeg"));
    SaveWithCut("rgb.ppm", Written(rgb, "ppm"));
    Save("grey.pgm", Written(rgb, "pgm"));
    Save("mono.pbm", Written(rgb, "pbm"));
    Save("qt.bmp", Written(rgb, "bmp"));
    for (const char* format : {"tiff", "webp", "ico", "cur", "xpm", "xbm", "wbmp", "icns"})
        Save(QString("rgb.") + format, Written(Pattern(16, 16, QImage::Format_ARGB32), format));

    // 2 x 1 GIF, red and blue: two-colour table, LZW codes clear, 0, 1, end.
    const char gif[] = "GIF89a\x02\0\x01\0\x80\0\0\xff\0\0\0\0\xff\x2c\0\0\0\0\x02\0\x01\0\0\x02\x02\x44\x0a\0\x3b";
    SaveWithCut("two.gif", QByteArray(gif, sizeof gif - 1));

    const QByteArray rows24("\xff\0\0\xff\xff\xff\0\0\0\0\xff\xfc\x10\x08\0\0", 16);
    SaveWithCut("v5.bmp", Bmp(124, 2, 2, 24, 0, {}, rows24));
    Save("top-down.bmp", Bmp(40, 2, -2, 24, 0, {}, rows24));
    const QByteArray table("\0\0\x28\0\xff\xff\xff\0\xfc\x10\x08\0", 12);
    const QByteArray rle8("\x04\x01\0\0\0\x03\0\x01\x02\0\x01\x02\0\x01", 14);
    SaveWithCut("rle8.bmp", Bmp(40, 4, 2, 8, 1, table, rle8));
    Save("rle4.bmp", Bmp(40, 5, 2, 4, 2, table, QByteArray("\x05\x12\0\0\0\x03\x01\x20\0\x01", 10)));
    QByteArray masks;
    Le32(masks, 0xF800), Le32(masks, 0x07E0), Le32(masks, 0x001F);
    Save("fields565.bmp", Bmp(40, 2, 1, 16, 3, masks, QByteArray("\x1f\0\xe0\x07", 4)));
    const QByteArray twoColours("\0\0\0\xff\xff\xff", 6);
    Save("os2-1bit.bmp", Bmp(12, 9, 2, 1, 0, twoColours, QByteArray("\xaa\x80\0\0\x55\0\0\0", 8)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    WriteSeeds();
    if (!g_ok) {
        std::fprintf(stderr, "could not write every seed into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
