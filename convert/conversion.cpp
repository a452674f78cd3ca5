// The conversion path: every check, the output's open, write and close, and the clean-up on failure,
// in one place for both front ends.
#include "convert/conversion.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

#include "convert/display_fit.h"
#include "convert/display_picture.h"
#include "convert/output_file.h"
#include "convert/output_name.h"
#include "convert/preview.h"

namespace {

ConversionOutcome Outcome(ConversionResult result, ConversionOutcome base) {
    base.result = result;
    return base;
}

// Some C libraries leave errno alone on a failed flush; an unexplained failure is still an I/O error.
int SystemErrorOr(int error) { return error != 0 ? error : EIO; }

// Writes the output where the request says. On failure fills result and systemError and leaves nothing
// partial behind.
bool WriteOutput(const Picture& picture, const ConversionRequest& request, ConversionOutcome& outcome) {
    if (request.placement == OutputPlacement::StandardOutput) {
        errno = 0;
        if (WriteDisplayData(picture, request.output, request.standardOutput)) return true;
        outcome.result = ConversionResult::OutputNotWritten;
        outcome.systemError = SystemErrorOr(errno);
        return false;
    }
    const std::string path = OutputPathFor(request);
    errno = 0;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        outcome.result = ConversionResult::OutputNotCreated;
        outcome.systemError = SystemErrorOr(errno);
        return false;
    }
    errno = 0;
    const bool written = WriteDisplayData(picture, request.output, out);
    int error = errno;
    const bool closed = std::fclose(out) == 0;
    if (written && closed) return true;
    if (written) error = errno;
    RemovePartialOutput(path);
    outcome.result = ConversionResult::OutputNotWritten;
    outcome.systemError = SystemErrorOr(error);
    return false;
}

// The decoded picture at most holds four bytes a pixel (Qt's decoder; the bitmap module holds less).
std::uint64_t DecodedBytes(const Picture& picture) { return 4 * std::uint64_t{picture.Width()} * picture.Height(); }

// The picture the display needs, made from `picture` by the request's geometry, or a failure in
// `outcome.result`. Checked and allocated before any file is made, so a refusal leaves nothing behind.
std::unique_ptr<Picture> ShapeForDisplay(const Picture& picture, const ConversionRequest& request,
                                         ConversionOutcome& outcome) {
    const FitPlan plan = PlanFit(request.geometry, picture.Width(), picture.Height());
    if (plan.width > kLargestSide || plan.height > kLargestSide) {
        outcome.width = static_cast<std::uint32_t>(std::min<std::uint64_t>(plan.width, UINT32_MAX));
        outcome.height = static_cast<std::uint32_t>(std::min<std::uint64_t>(plan.height, UINT32_MAX));
        outcome.result = ConversionResult::TooLarge;
        return nullptr;
    }
    const std::uint64_t held = DisplayStepsHeldBytes(request.geometry, plan);
    if (held != 0 && request.memoryLimit != 0 && DecodedBytes(picture) + held > request.memoryLimit) {
        outcome.memoryNeeded = DecodedBytes(picture) + held;
        outcome.fittedMemory = held;
        outcome.memoryLimit = request.memoryLimit;
        outcome.result = ConversionResult::OverMemoryLimit;
        return nullptr;
    }
    std::unique_ptr<Picture> shaped = MakeDisplayPicture(picture, request.geometry, plan, request.background);
    if (!shaped) outcome.result = ConversionResult::OutOfMemory;
    return shaped;
}

ConversionOutcome Convert(const ConversionRequest& request) {
    ConversionOutcome outcome;
    LoadedPicture loaded = request.loader ? request.loader->Load(request.picturePath)
                                          : LoadWithBitmapModule(request.picturePath);
    outcome.moduleStatus = loaded.moduleStatus;
    outcome.decoderReason = loaded.decoderReason;
    outcome.depth = loaded.depth;
    outcome.width = loaded.width;
    outcome.height = loaded.height;
    outcome.memoryNeeded = loaded.memoryNeeded;
    outcome.memoryLimit = loaded.memoryLimit;
    switch (loaded.failure) {
    case LoadFailure::TooLarge:
        return Outcome(ConversionResult::TooLarge, outcome);
    case LoadFailure::OverMemoryLimit:
        return Outcome(ConversionResult::OverMemoryLimit, outcome);
    case LoadFailure::EndsEarly:
        return Outcome(ConversionResult::EndsEarly, outcome);
    case LoadFailure::OutOfMemory:
        return Outcome(ConversionResult::OutOfMemory, outcome);
    case LoadFailure::None:
    case LoadFailure::Unreadable:
        break;
    }
    if (loaded.failure != LoadFailure::None || !loaded.picture) {
        return Outcome(loaded.moduleStatus == BitmapOutOfMemory && loaded.decoderReason.empty()
                           ? ConversionResult::OutOfMemory
                           : ConversionResult::NotLoaded,
                       outcome);
    }
    // A failed load of the window's kind shows as a depth that is not 24, so it comes first.
    if (request.only24BitPictures && loaded.depth != kWindowDepth)
        return Outcome(ConversionResult::DepthRefused, outcome);
    if (loaded.picture->Width() > kLargestSide || loaded.picture->Height() > kLargestSide)
        return Outcome(ConversionResult::TooLarge, outcome);
    std::unique_ptr<Picture> shaped;
    if (!request.geometry.ChangesNothing()) {
        shaped = ShapeForDisplay(*loaded.picture, request, outcome);
        if (!shaped) return outcome;
    }
    // The stored pixels, in the order the writers and dithering take them.
    const Picture& picture = shaped ? *shaped : *loaded.picture;

    const std::string outputPath = OutputPathFor(request);
    outcome.outputName = request.placement == OutputPlacement::WorkingDirectory
                             ? FormOutputName(request.picturePath, OutputExtension(request.output.format))
                             : outputPath;
    const bool toFile = request.placement != OutputPlacement::StandardOutput;
    // Opening the picture itself for writing would empty it ("pic.bmc" converts to "pic.bmc").
    if (toFile && IsSameFile(outputPath, request.picturePath))
        return Outcome(ConversionResult::OutputIsPicture, outcome);
    if (request.previewPath) {
        // Checked before anything is written, so a clash costs no file.
        const std::string& preview = *request.previewPath;
        outcome.previewName = preview;
        if (IsSameFile(preview, request.picturePath)) return Outcome(ConversionResult::PreviewIsPicture, outcome);
        if (toFile && (preview == outputPath || IsSameFile(preview, outputPath)))
            return Outcome(ConversionResult::PreviewIsOutput, outcome);
    }

    if (!WriteOutput(picture, request, outcome)) return outcome;
    if (request.previewPath) {
        // The panel shows the stored pixels turned back by its mounting.
        const Turn mounting = StoredTurn(request.geometry.rotation, request.geometry.flip);
        const PreviewResult preview = WritePreview(picture, *request.previewPath, request.output, mounting.Inverse());
        if (preview.status != BitmapOk) {
            // The output alone would pass for the whole of what was asked.
            if (toFile) RemovePartialOutput(outputPath);
            outcome.previewStatus = preview.status;
            outcome.systemError = preview.systemError;
            return Outcome(preview.made ? ConversionResult::PreviewNotWritten : ConversionResult::PreviewNotMade,
                           outcome);
        }
    }
    return Outcome(ConversionResult::Converted, outcome);
}

}  // namespace

const char* OutputExtension(OutputFormat format) { return format == OutputFormat::ArrayText ? "h" : "bmc"; }

std::string OutputPathFor(const ConversionRequest& request) {
    const char* extension = OutputExtension(request.output.format);
    switch (request.placement) {
    case OutputPlacement::WorkingDirectory:
        return FormOutputName(request.picturePath, extension);
    case OutputPlacement::BesidePicture: {
        const std::string& input = request.picturePath;
        const std::size_t folderLength = input.size() - BareFileName(input).size();
        return input.substr(0, folderLength) + FormOutputName(input, extension);
    }
    case OutputPlacement::GivenPath:
        return request.outputPath;
    case OutputPlacement::StandardOutput:
        break;
    }
    return {};
}

ConversionOutcome ConvertPicture(const ConversionRequest& request) {
    try {
        return Convert(request);
    } catch (const std::bad_alloc&) {
        // Only names and small records are allocated here; the pixel blocks are the module's, which
        // answers a status instead.
        ConversionOutcome outcome;
        outcome.result = ConversionResult::OutOfMemory;
        outcome.moduleStatus = BitmapOutOfMemory;
        return outcome;
    }
}
