// One picture from the command line: the request for the shared conversion path, and its outcome.
#include "convert_file.h"

#include "convert/conversion.h"
#include "outcome_text.h"
#include "readers/qt_picture_loader.h"

std::optional<std::string> ConvertFile(const std::string& inputPath, const ConversionSettings& settings,
                                       std::FILE* standardOutput) {
    ConversionRequest request;
    request.picturePath = inputPath;
    request.output = settings.output;
    request.previewPath = settings.previewPath;
    request.geometry = settings.geometry;
    request.background = settings.decoding.background;
    request.memoryLimit = settings.decoding.memoryLimitMiB * 1024u * 1024u;
    // Any depth the module reads, and whatever Qt decodes when the module refuses the file.
    request.only24BitPictures = false;
    const QtPictureLoader loader(settings.decoding, DecodeThroughModule);
    request.loader = &loader;
    if (!settings.outputPath) {
        request.placement = OutputPlacement::BesidePicture;
    } else if (*settings.outputPath == "-") {
        request.placement = OutputPlacement::StandardOutput;
        request.standardOutput = standardOutput;
    } else {
        request.placement = OutputPlacement::GivenPath;
        request.outputPath = *settings.outputPath;
    }
    const ConversionOutcome outcome = ConvertPicture(request);
    if (outcome.result == ConversionResult::Converted) return std::nullopt;
    return inputPath + ": " + OutcomeCause(outcome);
}
