// Decoding through Qt's image readers: the checks that must come before a byte of pixels is decoded
// (sides, memory, a file that ends early), the decode, and a Picture over the decoded QImage.
#include "readers/qt_decode.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include <QFile>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "convert/turn.h"
#include "early_end.h"
#include "own_readers.h"
#include "tiff_check.h"

namespace {

// The decoded picture as its orientation tag shows it: turning reads the stored pixels in another
// order, so no second copy of a large picture is ever made.
class QtPicture final : public Picture {
public:
    QtPicture(QImage image, Turn turn, RgbColour background)
        : image_(std::move(image)), turn_(turn), background_(background) {}

    std::uint32_t Width() const override {
        return static_cast<std::uint32_t>(turn_.swapsSides ? image_.height() : image_.width());
    }
    std::uint32_t Height() const override {
        return static_cast<std::uint32_t>(turn_.swapsSides ? image_.width() : image_.height());
    }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override {
        constexpr bool kLittle = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
        if (image_.format() == QImage::Format_RGBA8888)
            ReadPixels<0, 1, 2, 3>(x, y, count, rgb);
        else if (image_.format() == QImage::Format_ARGB32)
            ReadPixels<kLittle ? 2 : 1, kLittle ? 1 : 2, kLittle ? 0 : 3, kLittle ? 3 : 0>(x, y, count, rgb);
        else
            ReadPixels<kLittle ? 2 : 1, kLittle ? 1 : 2, kLittle ? 0 : 3, kOpaque>(x, y, count, rgb);
    }

private:
    // RGB32's fourth byte is not alpha: a pixel a reader skipped is black, as Qt's own conversion has it.
    static constexpr int kOpaque = -1;

    // Where red, green, blue and alpha lie in a pixel's four bytes: RGBA8888 holds them in byte order
    // whatever the machine; (A)RGB32 as a 32-bit word 0xAARRGGBB.
    template <int kRed, int kGreen, int kBlue, int kAlpha>
    void ReadPixels(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const {
        std::uint32_t storedX, storedY;
        turn_.SourceOf(x, y, static_cast<std::uint32_t>(image_.width()), static_cast<std::uint32_t>(image_.height()),
                       storedX, storedY);
        const std::uint8_t* pixel = image_.constScanLine(static_cast<int>(storedY)) + 4u * std::size_t{storedX};
        // Along a run the stored pixel moves by a pixel or, turned, by a row.
        const std::ptrdiff_t along = turn_.swapsSides ? static_cast<std::ptrdiff_t>(image_.bytesPerLine()) : 4;
        const std::ptrdiff_t step = (turn_.swapsSides ? turn_.fromBottom : turn_.fromRight) ? -along : along;
        // The usual run, left to right along a row, with its step known to the compiler.
        if (step == 4)
            Copy<kRed, kGreen, kBlue, kAlpha>(pixel, 4, count, rgb);
        else
            Copy<kRed, kGreen, kBlue, kAlpha>(pixel, step, count, rgb);
    }

    template <int kRed, int kGreen, int kBlue, int kAlpha>
    inline void Copy(const std::uint8_t* pixel, std::ptrdiff_t step, std::uint32_t count, std::uint8_t* rgb) const {
        for (std::uint32_t i = 0; i < count; ++i, pixel += step, rgb += 3) {
            std::uint8_t alpha = 255;
            if constexpr (kAlpha != kOpaque) alpha = pixel[kAlpha];
            if (alpha == 255) {
                rgb[0] = pixel[kRed];
                rgb[1] = pixel[kGreen];
                rgb[2] = pixel[kBlue];
                continue;
            }
            rgb[0] = Composite(pixel[kRed], alpha, background_.red);
            rgb[1] = Composite(pixel[kGreen], alpha, background_.green);
            rgb[2] = Composite(pixel[kBlue], alpha, background_.blue);
        }
    }

    QImage image_;
    Turn turn_;
    RgbColour background_;
};

// Qt's reader names its transformations as mirroring first, then turning a quarter clockwise.
Turn TurnOf(QImageIOHandler::Transformations transformation) {
    Turn turn;
    if (transformation & QImageIOHandler::TransformationMirror) turn = turn.Then(kMirrorLeftRight);
    if (transformation & QImageIOHandler::TransformationFlip) turn = turn.Then(kMirrorTopBottom);
    if (transformation & QImageIOHandler::TransformationRotate90) turn = turn.Then(kClockwise90);
    return turn;
}

// Qt's own warnings during a decode, kept instead of printed: the first one often says more than
// the reader's error string.
class KeptMessages;
thread_local KeptMessages* t_messages = nullptr;

class KeptMessages {
public:
    KeptMessages() : previous_(qInstallMessageHandler(Keep)) { t_messages = this; }
    ~KeptMessages() {
        t_messages = nullptr;
        qInstallMessageHandler(previous_);
    }
    KeptMessages(const KeptMessages&) = delete;
    KeptMessages& operator=(const KeptMessages&) = delete;

    std::string first;
    bool allocationLimitMet = false;

private:
    static void Keep(QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!t_messages) return;
        if (t_messages->first.empty()) t_messages->first = message.simplified().toStdString();
        if (message.contains(QLatin1String("allocation limit"))) t_messages->allocationLimitMet = true;
    }

private:
    QtMessageHandler previous_;
};

// libpng and libtiff print some errors straight to standard error, past Qt's message handler.
class QuietStandardError {
public:
    explicit QuietStandardError(bool quiet) {
        if (!quiet) return;
        std::fflush(stderr);
        saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~QuietStandardError() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

struct MappedPixels {
    void* start;
    std::size_t bytes;
};

void Unmap(void* info) {
    const auto* mapped = static_cast<MappedPixels*>(info);
    munmap(mapped->start, mapped->bytes);
    delete mapped;
}

// A pixel buffer of the given size and format, zeroed by the system rather than by a pass over it, in
// large pages where the system offers them: touching fresh pages costs more than decoding into them.
// A null image when the system refuses it.
QImage ZeroedImage(QSize size, QImage::Format format) {
    const std::size_t bits = QImage::toPixelFormat(format).bitsPerPixel();
    const std::size_t rowBytes = (static_cast<std::size_t>(size.width()) * bits + 31) / 32 * 4;
    const std::size_t bytes = rowBytes * static_cast<std::size_t>(size.height());
    if (bytes == 0) return QImage();
    void* start = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) return QImage();
    madvise(start, bytes, MADV_HUGEPAGE);
    auto* mapped = new (std::nothrow) MappedPixels{start, bytes};
    if (!mapped) {
        munmap(start, bytes);
        return QImage();
    }
    return QImage(static_cast<uchar*>(start), size.width(), size.height(), static_cast<qsizetype>(rowBytes), format,
                  Unmap, mapped);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Bytes of the picture as it is held: four per pixel for the conversion, more while a wider format
// (16 bits per channel) is decoded.
std::uint64_t HeldBytes(std::uint64_t width, std::uint64_t height, QImage::Format format = QImage::Format_RGBA8888) {
    const std::uint64_t bits = QImage::toPixelFormat(format).bitsPerPixel();
    return width * height * (bits > 32 ? bits / 8u : 4u);
}

LoadedPicture Failure(LoadFailure failure, BitmapStatus moduleStatus, std::string reason = {}) {
    LoadedPicture loaded;
    loaded.failure = failure;
    loaded.facts.moduleStatus = moduleStatus;
    loaded.facts.decoderReason = std::move(reason);
    return loaded;
}

LoadedPicture TooLarge(BitmapStatus moduleStatus, std::uint32_t width, std::uint32_t height) {
    LoadedPicture loaded = Failure(LoadFailure::TooLarge, moduleStatus);
    loaded.facts.width = width;
    loaded.facts.height = height;
    return loaded;
}

LoadedPicture OverLimit(BitmapStatus moduleStatus, std::uint32_t width, std::uint32_t height, std::uint64_t needed,
                        std::uint64_t limit) {
    LoadedPicture loaded = Failure(LoadFailure::OverMemoryLimit, moduleStatus);
    loaded.facts.width = width;
    loaded.facts.height = height;
    loaded.facts.memoryNeeded = needed;
    loaded.facts.memoryLimit = limit;
    return loaded;
}

std::string QtReason(const QImageReader& reader, const std::string& message) {
    std::string reason = "Qt: " + reader.errorString().toStdString();
    if (!message.empty()) reason += " (" + message + ")";
    return reason;
}

std::uint64_t MemoryLimitBytes(const DecodeSettings& settings) {
    const std::uint64_t limitMiB =
        settings.memoryLimitMiB < kLargestMemoryLimitMiB ? settings.memoryLimitMiB : kLargestMemoryLimitMiB;
    return limitMiB * 1024u * 1024u;
}

// Kinds refused from the reader's format and the file itself, before a pixel is decoded.
std::optional<std::string> RefusedKind(const QByteArray& format, const std::string& path) {
    // Drawings are rendered with fonts, which need a running application; they are not pictures of pixels.
    if (format == "svg" || format == "svgz") return "an SVG drawing is not a picture of pixels";
    // This reader allocates whatever length a file declares before reading it: 2 GiB for 60 bytes.
    if (format == "icns") return "ICNS icons are not read, since Qt's reader trusts the sizes they declare";
    if (format == "tiff") return TiffProblem(path);
    return std::nullopt;
}

// Icons hold several pictures of one design; the largest is the one a converter's user wants.
void JumpToLargestIcon(QImageReader& reader) {
    const QByteArray format = reader.format().toLower();
    if (format != "ico" && format != "cur") return;
    int largest = 0;
    qint64 largestArea = -1;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i)) break;
        const QSize size = reader.size();
        const qint64 area = size.isValid() ? qint64{size.width()} * size.height() : 0;
        if (area > largestArea) largest = i, largestArea = area;
    }
    reader.jumpToImage(largest);
}

// Sides and memory are refused before decoding where the reader can tell them from the header.
std::optional<LoadedPicture> RefusedByAnnouncedSize(const QSize& announced, QImage::Format format,
                                                    BitmapStatus moduleStatus, std::uint64_t limit) {
    if (!announced.isValid()) return std::nullopt;
    const auto width = static_cast<std::uint32_t>(announced.width());
    const auto height = static_cast<std::uint32_t>(announced.height());
    if (!SidesFitSizePrefix(width, height)) return TooLarge(moduleStatus, width, height);
    const std::uint64_t needed = HeldBytes(width, height, format);
    if (needed > limit) return OverLimit(moduleStatus, width, height, needed, limit);
    return std::nullopt;
}

// Decodes the picture. Some readers leave the pixels a run-length BMP skips (deltas, early row ends) as
// they find them in the buffer; given a cleared buffer of the right size and format, they fill it in
// place, so a skipped pixel is always 0 (index 0, or transparent) and never leftover memory. The buffer
// comes zeroed from the system, so a size a tiny file merely claims costs no pass over it.
std::optional<QImage> ReadPicture(QImageReader& reader, RunLength runLength) {
    QImage image;
    const QSize announced = reader.size();
    if (announced.isValid() && reader.imageFormat() != QImage::Format_Invalid)
        image = ZeroedImage(announced, reader.imageFormat());
    const uchar* cleared = image.isNull() ? nullptr : image.constBits();
    if (!reader.read(&image)) image = QImage();
    // A run-length picture decoded elsewhere than into the cleared buffer would carry leftover memory.
    if (runLength != RunLength::None && !image.isNull() && image.constBits() != cleared) return std::nullopt;
    return image;
}

// The decoded picture checked again (a reader may not know its size beforehand) and held for reading.
LoadedPicture Decoded(QImage image, BitmapStatus moduleStatus, std::uint64_t limit, RgbColour background,
                      Turn turn = {}) {
    const auto width = static_cast<std::uint32_t>(image.width());
    const auto height = static_cast<std::uint32_t>(image.height());
    if (!SidesFitSizePrefix(width, height)) return TooLarge(moduleStatus, width, height);
    if (const std::uint64_t needed = HeldBytes(width, height, image.format()); needed > limit)
        return OverLimit(moduleStatus, width, height, needed, limit);
    // Straight alpha; a premultiplied picture is divided back. Colour-space tags are left as they are:
    // converting the pixel format never applies them. (A)RGB32, what most readers give, is read as it is.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
        image.convertTo(QImage::Format_RGBA8888);
        if (image.isNull() || image.format() != QImage::Format_RGBA8888)
            return Failure(LoadFailure::OutOfMemory, moduleStatus);
    }
    LoadedPicture loaded;
    loaded.failure = LoadFailure::None;
    loaded.facts.moduleStatus = moduleStatus;
    loaded.picture = std::make_unique<QtPicture>(std::move(image), turn, background);
    loaded.facts.width = loaded.picture->Width();
    loaded.facts.height = loaded.picture->Height();
    return loaded;
}

// TGA and PBM/PGM/PPM are read by this project's own readers, Qt's being wrong for some of them.
std::optional<LoadedPicture> ReadOwnKind(const std::string& path, BitmapStatus moduleStatus, std::uint64_t limit,
                                         RgbColour background) {
    const std::unique_ptr<std::FILE, FileCloser> file{std::fopen(path.c_str(), "rb")};
    if (!file) return std::nullopt;
    std::optional<OwnRead> read = ReadTga(file.get(), path, limit);
    if (!read) read = ReadNetpbm(file.get(), limit);
    if (!read) return std::nullopt;
    if (read->tooLarge) {
        if (!SidesFitSizePrefix(read->width, read->height)) return TooLarge(moduleStatus, read->width, read->height);
        return OverLimit(moduleStatus, read->width, read->height, std::uint64_t{read->width} * read->height * 4u,
                         limit);
    }
    if (read->image.isNull()) {
        LoadedPicture refused =
            Failure(read->endsEarly ? LoadFailure::EndsEarly : LoadFailure::Unreadable, moduleStatus, read->problem);
        refused.facts.kind = read->kind;
        return refused;
    }
    return Decoded(std::move(read->image), moduleStatus, limit, background);
}

LoadedPicture Decode(const std::string& path, BitmapStatus moduleStatus, const DecodeSettings& settings) {
    const std::uint64_t limit = MemoryLimitBytes(settings);
    // Qt's readers open the path themselves, blocking on a pipe that has no writer, and the early-end
    // check reads the file a second time from its start, which a pipe or device cannot give.
    std::error_code unknown;
    if (!std::filesystem::is_regular_file(path, unknown))
        return Failure(LoadFailure::Unreadable, moduleStatus,
                       "other pictures than BMP are read from regular files only, not from a pipe or device");
    if (auto own = ReadOwnKind(path, moduleStatus, limit, settings.background)) return std::move(*own);
    QuietStandardError quiet(settings.quietDecoders);
    KeptMessages messages;

    QImageReader::setAllocationLimit(static_cast<int>(limit / (1024u * 1024u)));
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)));
    // Qt's own turning would hold a second copy of the picture: the tag is applied as it is read.
    reader.setAutoTransform(false);
    if (!reader.canRead()) return Failure(LoadFailure::Unreadable, moduleStatus, QtReason(reader, {}));
    JumpToLargestIcon(reader);
    if (auto refused = RefusedByAnnouncedSize(reader.size(), reader.imageFormat(), moduleStatus, limit))
        return std::move(*refused);
    if (auto reason = RefusedKind(reader.format().toLower(), path))
        return Failure(LoadFailure::Unreadable, moduleStatus, *reason);
    RunLength runLength = RunLength::None;
    if (const std::unique_ptr<std::FILE, FileCloser> file{std::fopen(path.c_str(), "rb")}) {
        if (auto reason = FileEndsEarly(file.get())) return Failure(LoadFailure::EndsEarly, moduleStatus, *reason);
        runLength = BitmapRunLength(file.get());
    }
    // Qt decodes these into a buffer of its own, leaving the pixels the file skips undefined.
    if (runLength == RunLength::TopDown)
        return Failure(LoadFailure::Unreadable, moduleStatus,
                       "a run-length BMP must be stored bottom-up, but its height is negative");
    const Turn turn = settings.applyOrientation ? TurnOf(reader.transformation()) : Turn{};
    std::optional<QImage> image = ReadPicture(reader, runLength);
    if (!image)
        return Failure(LoadFailure::Unreadable, moduleStatus,
                       "Qt: the pixels this run-length BMP skips could not be cleared");
    if (image->isNull()) {
        // Qt's limit can be met by its own, wider pixel format, or by a reader that could not tell the
        // size beforehand; it says so only in a warning.
        if (messages.allocationLimitMet) return OverLimit(moduleStatus, 0, 0, 0, limit);
        return Failure(LoadFailure::Unreadable, moduleStatus, QtReason(reader, messages.first));
    }
    // Some readers keep the picture they made (GIF's for the next frame): let go of it before the
    // conversion, which otherwise copies it instead of working in place.
    reader.setDevice(nullptr);
    return Decoded(std::move(*image), moduleStatus, limit, settings.background, turn);
}

}  // namespace

LoadedPicture DecodeWithQt(const std::string& path, BitmapStatus moduleStatus, const DecodeSettings& settings) {
    try {
        LoadedPicture loaded = Decode(path, moduleStatus, settings);
        // The kind Qt tells from the file's first bytes, for the refusal's words; a pipe or device is
        // never asked, since reading one could wait for ever.
        std::error_code unknown;
        if (loaded.failure != LoadFailure::None && loaded.facts.kind.empty() &&
            std::filesystem::is_regular_file(path, unknown))
            loaded.facts.kind =
                QImageReader::imageFormat(QFile::decodeName(QByteArray::fromStdString(path))).toUpper().toStdString();
        return loaded;
    } catch (const std::bad_alloc&) {
        return Failure(LoadFailure::OutOfMemory, moduleStatus);
    }
}
