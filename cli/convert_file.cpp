// One picture from the command line: the request for the shared conversion path, and its outcome.
#include "convert_file.h"

#include <utility>

#include "convert/conversion.h"
#include "outcome_text.h"
#include "readers/qt_picture_loader.h"

namespace {

ConversionRequest RequestFor(const std::string& inputPath, const ConversionSettings& settings,
                             std::FILE* standardOutput) {
    ConversionRequest request;
    request.picturePath = inputPath;
    request.output = settings.output;
    request.previewPath = settings.previewPath;
    // Any depth the module reads, and whatever Qt decodes when the module refuses the file.
    request.only24BitPictures = false;
    if (!settings.outputPath) {
        request.placement = OutputPlacement::BesidePicture;
    } else if (*settings.outputPath == "-") {
        request.placement = OutputPlacement::StandardOutput;
        request.standardOutput = standardOutput;
    } else {
        request.placement = OutputPlacement::GivenPath;
        request.outputPath = *settings.outputPath;
    }
    return request;
}

const char* KindWord(WrittenKind kind) { return kind == WrittenKind::Preview ? "preview" : "output"; }

// The cause when the output or preview would replace what an earlier picture of the batch wrote.
std::optional<std::string> EarlierFileClash(const std::string& outputPath, const ConversionRequest& request,
                                            const WrittenOutputs& written) {
    const std::pair<WrittenKind, std::string> planned[] = {
        {WrittenKind::Output, outputPath},
        {WrittenKind::Preview, request.previewPath.value_or("")},
    };
    for (const auto& [kind, path] : planned) {
        if (const auto earlier = written.Find(path))
            return std::string("the ") + KindWord(kind) + " " + path + " would replace the " + KindWord(earlier->kind) +
                   " of " + earlier->picture;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ConvertFile(const std::string& inputPath, const ConversionSettings& settings,
                                       std::FILE* standardOutput, WrittenOutputs& written) {
    ConversionRequest request = RequestFor(inputPath, settings, standardOutput);
    const QtPictureLoader loader(settings.decoding, DecodeThroughModule);
    request.loader = &loader;
    const std::string outputPath = OutputPathFor(request);
    if (const auto clash = EarlierFileClash(outputPath, request, written)) return inputPath + ": " + *clash;
    const ConversionOutcome outcome = ConvertPicture(request);
    if (outcome.result != ConversionResult::Converted) return inputPath + ": " + OutcomeCause(outcome);
    written.Add(outputPath, {WrittenKind::Output, inputPath});
    if (request.previewPath) written.Add(*request.previewPath, {WrittenKind::Preview, inputPath});
    return std::nullopt;
}
