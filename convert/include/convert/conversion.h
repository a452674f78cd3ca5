// The one conversion path of both front ends: load a picture, check it, name and write its output
// (and, on request, a preview), and take back what a failure left. It answers an outcome, never
// text: the window and the command line each word it for their users.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "bitmap/bitmap.h"
#include "display_geometry.h"
#include "display_writers.h"
#include "picture.h"

// Where the output goes.
enum class OutputPlacement {
    // By bare name into the working directory, which the window's dialog leaves at the picture's folder.
    WorkingDirectory,
    // Into the picture's own folder, whatever the working directory.
    BesidePicture,
    // At ConversionRequest::outputPath.
    GivenPath,
    // To ConversionRequest::standardOutput.
    StandardOutput,
};

struct ConversionRequest {
    std::string picturePath;
    OutputOptions output;
    // Fitting, turning and mirroring between the decoded picture and the writers.
    DisplayGeometry geometry;
    // What shows where a fitted picture does not reach the display's sides.
    RgbColour background;
    // The most the decoded picture and a fitted picture held for turning may take together, in bytes;
    // 0 for no limit.
    std::uint64_t memoryLimit = 0;
    OutputPlacement placement = OutputPlacement::WorkingDirectory;
    std::string outputPath;                  // GivenPath only
    std::FILE* standardOutput = nullptr;     // StandardOutput only
    std::optional<std::string> previewPath;  // a 24-bit BMP of the picture as the display shows it
    // The window converts 24-bit pictures only; the command line takes whatever its loader reads.
    bool only24BitPictures = true;
    // nullptr: the bitmap module alone.
    const PictureLoader* loader = nullptr;
};

// Each result names, after it, the outcome's fields that say more (facts: those of the picture).
enum class ConversionResult {
    Converted,
    NotLoaded,     // facts.moduleStatus, facts.decoderReason
    DepthRefused,  // facts.depth
    TooLarge,      // facts.width, facts.height (the fitted sides when --size makes them too large)
    OutOfMemory,
    OverMemoryLimit,    // facts.width, facts.height, facts.memoryNeeded, facts.memoryLimit, fittedMemory
    EndsEarly,          // facts.decoderReason
    OutputIsPicture,    // outputName
    PreviewIsPicture,   // previewName
    PreviewIsOutput,    // previewName
    OutputNotCreated,   // outputName, systemError
    OutputNotWritten,   // outputName (empty for standard output), systemError
    PreviewNotMade,     // previewStatus
    PreviewNotWritten,  // previewName, previewStatus, systemError
};

struct ConversionOutcome {
    ConversionResult result = ConversionResult::Converted;
    // What the loader found out about the picture, whether or not it loaded.
    PictureFacts facts;
    // The part of facts.memoryNeeded a fitted picture held for turning would take (0 when none is held).
    std::uint64_t fittedMemory = 0;
    // The output as placed: a bare name for WorkingDirectory, else the path; empty for standard output.
    std::string outputName;
    std::string previewName;
    BitmapStatus previewStatus = BitmapOk;
    // The system's error number where a file operation failed (0 when it gave none).
    int systemError = 0;
};

// The only depth the window converts.
inline constexpr std::uint16_t kWindowDepth = 24;

// The extension of an output in `format`: "bmc" or "h".
const char* OutputExtension(OutputFormat format);

// Where the request's output goes; empty for standard output.
std::string OutputPathFor(const ConversionRequest& request);

// Runs the whole conversion. Only Converted leaves an output (and preview) behind; every other
// result leaves no file of its own. Never throws.
ConversionOutcome ConvertPicture(const ConversionRequest& request);
