// The conversion path: every check, the output's open, write and close, and the clean-up on failure,
// in one place for both front ends.
#include "convert/conversion.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <utility>

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

LoadedPicture Load(const ConversionRequest& request) {
    return request.loader ? request.loader->Load(request.picturePath) : LoadWithBitmapModule(request.picturePath);
}

// Why the loaded picture cannot be converted, if it cannot.
std::optional<ConversionResult> Refusal(const LoadedPicture& loaded, const ConversionRequest& request) {
    switch (loaded.failure) {
    case LoadFailure::TooLarge: return ConversionResult::TooLarge;
    case LoadFailure::OverMemoryLimit: return ConversionResult::OverMemoryLimit;
    case LoadFailure::EndsEarly: return ConversionResult::EndsEarly;
    case LoadFailure::OutOfMemory: return ConversionResult::OutOfMemory;
    case LoadFailure::None:
    case LoadFailure::Unreadable: break;
    }
    const PictureFacts& facts = loaded.facts;
    if (loaded.failure != LoadFailure::None || !loaded.picture) {
        return facts.moduleStatus == BitmapOutOfMemory && facts.decoderReason.empty() ? ConversionResult::OutOfMemory
                                                                                      : ConversionResult::NotLoaded;
    }
    // A failed load of the window's kind shows as a depth that is not 24, so it comes first.
    if (request.only24BitPictures && facts.depth != kWindowDepth) return ConversionResult::DepthRefused;
    if (!SidesFitSizePrefix(loaded.picture->Width(), loaded.picture->Height())) return ConversionResult::TooLarge;
    return std::nullopt;
}

// The decoded picture at most holds four bytes a pixel (Qt's decoder; the bitmap module holds less).
std::uint64_t DecodedBytes(const Picture& picture) { return 4 * std::uint64_t{picture.Width()} * picture.Height(); }

// The picture the display needs, made from `picture` by the request's geometry, or a failure in
// `outcome.result`. Checked and allocated before any file is made, so a refusal leaves nothing behind.
std::unique_ptr<Picture> ShapeForDisplay(const Picture& picture, const ConversionRequest& request,
                                         ConversionOutcome& outcome) {
    const FitPlan plan = PlanFit(request.geometry, picture.Width(), picture.Height());
    const auto width = static_cast<std::uint32_t>(std::min<std::uint64_t>(plan.width, UINT32_MAX));
    const auto height = static_cast<std::uint32_t>(std::min<std::uint64_t>(plan.height, UINT32_MAX));
    if (!SidesFitSizePrefix(width, height)) {
        outcome.facts.width = width;
        outcome.facts.height = height;
        outcome.result = ConversionResult::TooLarge;
        return nullptr;
    }
    const std::uint64_t held = DisplayStepsHeldBytes(request.geometry, plan);
    if (held != 0 && request.memoryLimit != 0 && DecodedBytes(picture) + held > request.memoryLimit) {
        outcome.facts.memoryNeeded = DecodedBytes(picture) + held;
        outcome.facts.memoryLimit = request.memoryLimit;
        outcome.fittedMemory = held;
        outcome.result = ConversionResult::OverMemoryLimit;
        return nullptr;
    }
    std::unique_ptr<Picture> shaped = MakeDisplayPicture(picture, request.geometry, plan, request.background);
    if (!shaped) outcome.result = ConversionResult::OutOfMemory;
    return shaped;
}

// Names that would overwrite the picture, or each other. Checked before anything is written, so a clash
// costs no file.
std::optional<ConversionResult> NameClash(const ConversionRequest& request, const std::string& outputPath) {
    const bool toFile = request.placement != OutputPlacement::StandardOutput;
    // Opening the picture itself for writing would empty it ("pic.bmc" converts to "pic.bmc").
    if (toFile && IsSameFile(outputPath, request.picturePath)) return ConversionResult::OutputIsPicture;
    if (!request.previewPath) return std::nullopt;
    const std::string& preview = *request.previewPath;
    if (IsSameFile(preview, request.picturePath)) return ConversionResult::PreviewIsPicture;
    if (toFile && (preview == outputPath || IsSameFile(preview, outputPath))) return ConversionResult::PreviewIsOutput;
    return std::nullopt;
}

// Writes the output where the request says. On failure fills result and systemError and leaves nothing
// partial behind.
bool WriteOutput(const Picture& picture, const ConversionRequest& request, const std::string& path,
                 ConversionOutcome& outcome) {
    if (request.placement == OutputPlacement::StandardOutput) {
        outcome.systemError = WriteDisplayData(picture, request.output, request.standardOutput);
        if (outcome.systemError == 0) return true;
        outcome.result = ConversionResult::OutputNotWritten;
        return false;
    }
    const OpenedOutput out = OpenOutputFile(path);
    if (!out.file) {
        outcome.result = ConversionResult::OutputNotCreated;
        outcome.systemError = out.systemError;
        return false;
    }
    const int writeError = WriteDisplayData(picture, request.output, out.file);
    const int closeError = CloseOutputFile(out.file);
    if (writeError == 0 && closeError == 0) return true;
    RemovePartialOutput(path);
    outcome.result = ConversionResult::OutputNotWritten;
    outcome.systemError = writeError != 0 ? writeError : closeError;
    return false;
}

// Writes the requested preview. On failure fills the outcome and takes the output back too: the output
// alone would pass for the whole of what was asked.
bool WriteRequestedPreview(const Picture& picture, const ConversionRequest& request, const std::string& outputPath,
                           ConversionOutcome& outcome) {
    // The panel shows the stored pixels turned back by its mounting.
    const Turn mounting = StoredTurn(request.geometry.rotation, request.geometry.flip);
    const PreviewResult preview = WritePreview(picture, *request.previewPath, request.output, mounting.Inverse());
    if (preview.status == BitmapOk) return true;
    if (request.placement != OutputPlacement::StandardOutput) RemovePartialOutput(outputPath);
    outcome.result = preview.made ? ConversionResult::PreviewNotWritten : ConversionResult::PreviewNotMade;
    outcome.previewStatus = preview.status;
    outcome.systemError = preview.systemError;
    return false;
}

ConversionOutcome Convert(const ConversionRequest& request) {
    LoadedPicture loaded = Load(request);
    const std::optional<ConversionResult> refusal = Refusal(loaded, request);
    ConversionOutcome outcome;
    outcome.facts = std::move(loaded.facts);
    if (refusal) return Outcome(*refusal, std::move(outcome));

    const std::string outputPath = OutputPathFor(request);
    outcome.outputName = request.placement == OutputPlacement::WorkingDirectory
                             ? FormOutputName(request.picturePath, OutputExtension(request.output.format))
                             : outputPath;
    outcome.previewName = request.previewPath.value_or("");
    if (const auto clash = NameClash(request, outputPath)) return Outcome(*clash, std::move(outcome));

    std::unique_ptr<Picture> shaped;
    if (!request.geometry.ChangesNothing()) {
        shaped = ShapeForDisplay(*loaded.picture, request, outcome);
        if (!shaped) return outcome;
    }
    // The stored pixels, in the order the writers and dithering take them.
    const Picture& picture = shaped ? *shaped : *loaded.picture;
    if (!WriteOutput(picture, request, outputPath, outcome)) return outcome;
    if (request.previewPath && !WriteRequestedPreview(picture, request, outputPath, outcome)) return outcome;
    return Outcome(ConversionResult::Converted, std::move(outcome));
}

}  // namespace

const char* OutputExtension(OutputFormat format) { return format == OutputFormat::ArrayText ? "h" : "bmc"; }

std::string OutputPathFor(const ConversionRequest& request) {
    const char* extension = OutputExtension(request.output.format);
    switch (request.placement) {
    case OutputPlacement::WorkingDirectory: return FormOutputName(request.picturePath, extension);
    case OutputPlacement::BesidePicture: {
        const std::string& input = request.picturePath;
        const std::size_t folderLength = input.size() - BareFileName(input).size();
        return input.substr(0, folderLength) + FormOutputName(input, extension);
    }
    case OutputPlacement::GivenPath: return request.outputPath;
    case OutputPlacement::StandardOutput: break;
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
        outcome.facts.moduleStatus = BitmapOutOfMemory;
        return outcome;
    }
}
