// One picture from the command line, from loading to the last byte of its output and preview.
#include "convert_file.h"

#include <cerrno>
#include <cstdint>
#include <memory>

#include "bitmap/bitmap.h"
#include "bitmap_failure.h"
#include "convert/display_writers.h"
#include "convert/output_checks.h"
#include "convert/output_name.h"
#include "output_file.h"
#include "preview.h"

namespace {

struct ImageRelease {
    void operator()(BitmapImage* image) const { FreeBitmap(image); }
};
using OwnedImage = std::unique_ptr<BitmapImage, ImageRelease>;

bool WriteFormat(const BitmapImage* image, std::uint16_t width, std::uint16_t height,
                 const ConversionRequest& request, std::FILE* out) {
    if (request.format == OutputFormat::ArrayText) return WriteArrayText(image, width, height, out);
    return WriteRawColourStream(image, width, height, request.sizePrefix, out);
}

// The OS reason of the failure just met; some C libraries leave errno alone on a failed flush.
std::string ReasonOf(int error) { return OsErrorText(error != 0 ? error : EIO); }

std::optional<std::string> WriteOutput(const BitmapImage* image, std::uint16_t width, std::uint16_t height,
                                       const std::string& inputPath, const std::string& outputPath,
                                       const ConversionRequest& request, std::FILE* standardOutput) {
    if (outputPath == "-") {
        errno = 0;
        if (!WriteFormat(image, width, height, request, standardOutput))
            return "cannot write to standard output: " + ReasonOf(errno);
        return std::nullopt;
    }
    // A picture named like its own output ("pic.bmc") would be emptied by the open below.
    if (IsSameFile(outputPath, inputPath))
        return "the output " + outputPath + " would replace the picture itself";

    errno = 0;
    std::FILE* out = std::fopen(outputPath.c_str(), "wb");
    if (!out) return "cannot create " + outputPath + ": " + ReasonOf(errno);
    errno = 0;
    const bool written = WriteFormat(image, width, height, request, out);
    int error = errno;
    const bool closed = std::fclose(out) == 0;
    if (written && !closed) error = errno;
    if (written && closed) return std::nullopt;
    // A short file would pass for a finished conversion with whoever flashes it.
    RemovePartialFile(outputPath);
    return "cannot write " + outputPath + ": " + ReasonOf(error);
}

}  // namespace

std::string DefaultOutputPath(const std::string& inputPath, OutputFormat format) {
    const std::string_view extension = format == OutputFormat::ArrayText ? "h" : "bmc";
    const std::size_t folderLength = inputPath.size() - BareFileName(inputPath).size();
    return inputPath.substr(0, folderLength) + FormOutputName(inputPath, extension);
}

std::optional<std::string> ConvertFile(const std::string& inputPath, const ConversionRequest& request,
                                       std::FILE* standardOutput) {
    const auto failure = [&inputPath](const std::string& cause) { return inputPath + ": " + cause; };

    const OwnedImage image(ReadBitmapFile(inputPath.c_str()));
    if (!image) return failure(BitmapFailureText());
    const std::uint16_t depth = BitmapDepth(image.get());
    if (depth != kConvertibleDepth)
        return failure("colour depth is " + std::to_string(depth) +
                       " bits per pixel; only 24 can be converted");
    const std::uint32_t fullWidth = BitmapWidth(image.get());
    const std::uint32_t fullHeight = BitmapHeight(image.get());
    if (fullWidth > kLargestSide || fullHeight > kLargestSide)
        return failure("picture is " + std::to_string(fullWidth) + " x " + std::to_string(fullHeight) +
                       " pixels; at most 65535 wide and 65535 high can be converted");
    const auto width = static_cast<std::uint16_t>(fullWidth);
    const auto height = static_cast<std::uint16_t>(fullHeight);

    const std::string outputPath = request.outputPath.value_or(DefaultOutputPath(inputPath, request.format));
    if (request.previewPath) {
        // Checked before anything is written, so a clash costs no file.
        const std::string& previewPath = *request.previewPath;
        if (IsSameFile(previewPath, inputPath))
            return failure("the preview " + previewPath + " would replace the picture itself");
        if (previewPath == outputPath || IsSameFile(previewPath, outputPath))
            return failure("the preview " + previewPath + " would replace the output");
    }

    if (auto cause = WriteOutput(image.get(), width, height, inputPath, outputPath, request, standardOutput))
        return failure(*cause);
    if (request.previewPath) {
        if (auto cause = WritePreview(image.get(), *request.previewPath)) return failure(*cause);
    }
    return std::nullopt;
}
