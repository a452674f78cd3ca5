// Causes worded from the outcome's values: the module's status texts and the system's reasons.
#include "outcome_text.h"

#include <cstring>

namespace {

std::string StatusText(BitmapStatus status) {
    // The module gives no text only for success; a failure without one still needs words.
    const char* text = BitmapStatusText(status);
    return text ? text : "failed for an unknown reason";
}

std::string SystemText(int error) { return std::strerror(error); }

// Whole MiB, rounded up, so that a picture just over the limit never reads as equal to it.
std::string MiB(std::uint64_t bytes) { return std::to_string((bytes + 1048575u) / 1048576u); }

// A file another reader recognised is refused for what that reader found in it; the BMP module's word
// that it is no BMP would only mislead. For a BMP, both readers' words count.
std::string NotLoadedCause(const PictureFacts& facts) {
    if (facts.decoderReason.empty()) return StatusText(facts.moduleStatus);
    // A name that is there but no file (a folder) is better told by what it is.
    if (facts.moduleStatus == BitmapFileNotFound) return facts.decoderReason;
    if (facts.kind.empty() || facts.kind == "BMP") return StatusText(facts.moduleStatus) + "; " + facts.decoderReason;
    if (facts.decoderReason.starts_with(facts.kind)) return facts.decoderReason;
    return facts.kind + " picture: " + facts.decoderReason;
}

}  // namespace

std::string OutcomeCause(const ConversionOutcome& outcome) {
    switch (outcome.result) {
    case ConversionResult::Converted: return {};
    case ConversionResult::NotLoaded: return NotLoadedCause(outcome.facts);
    case ConversionResult::DepthRefused:
        return "colour depth is " + std::to_string(outcome.facts.depth) + " bits per pixel; only 24 can be converted";
    case ConversionResult::TooLarge:
        return "picture is " + std::to_string(outcome.facts.width) + " x " + std::to_string(outcome.facts.height) +
               " pixels; at most " + std::to_string(kLargestSide) + " wide and " + std::to_string(kLargestSide) +
               " high can be converted";
    case ConversionResult::OutOfMemory: return StatusText(BitmapOutOfMemory);
    case ConversionResult::OverMemoryLimit:
        if (outcome.facts.memoryNeeded == 0)
            return "decoding would hold more than the memory limit of " + MiB(outcome.facts.memoryLimit) +
                   " MiB; raise it with --max-memory";
        return "picture is " + std::to_string(outcome.facts.width) + " x " + std::to_string(outcome.facts.height) +
               " pixels, " + MiB(outcome.facts.memoryNeeded) +
               (outcome.fittedMemory != 0 ? " MiB decoded and fitted for turning" : " MiB decoded") +
               "; over the memory limit of " + MiB(outcome.facts.memoryLimit) + " MiB (raise it with --max-memory)";
    case ConversionResult::EndsEarly: return "the file ends early: " + outcome.facts.decoderReason;
    case ConversionResult::OutputIsPicture:
        return "the output " + outcome.outputName + " would replace the picture itself";
    case ConversionResult::PreviewIsPicture:
        return "the preview " + outcome.previewName + " would replace the picture itself";
    case ConversionResult::PreviewIsOutput: return "the preview " + outcome.previewName + " would replace the output";
    case ConversionResult::OutputNotCreated:
        return "cannot create " + outcome.outputName + ": " + SystemText(outcome.systemError);
    case ConversionResult::OutputNotWritten:
        if (outcome.outputName.empty()) return "cannot write to standard output: " + SystemText(outcome.systemError);
        return "cannot write " + outcome.outputName + ": " + SystemText(outcome.systemError);
    case ConversionResult::PreviewNotMade: return "cannot make the preview: " + StatusText(outcome.previewStatus);
    case ConversionResult::PreviewNotWritten: {
        std::string cause =
            "cannot write the preview " + outcome.previewName + ": " + StatusText(outcome.previewStatus);
        if (outcome.systemError != 0) cause += " (" + SystemText(outcome.systemError) + ")";
        return cause;
    }
    }
    return "failed for an unknown reason";
}
