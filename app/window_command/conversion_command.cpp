// One press of "Convert BMP": the dialog, the conversion, and its outcome worded as the results text.
#include "window_command/conversion_command.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "convert/conversion.h"
#include "results_text.h"

namespace {

// Each report after the first is joined to whatever the results box shows at that moment.
void AppendResults(WindowOperations& window, const std::string& piece) {
    window.SetMemo1Text(window.Memo1Text() + piece);
}

std::string SizeLine(std::uint16_t width, std::uint16_t height) {
    char line[64];
    std::snprintf(line, sizeof line, results::kSizeLineFormat, int{width}, int{height});
    return std::string(results::kSizeLineLead) + line;
}

// The results text of a conversion that got as far as naming its output, step by step.
void ReportConversion(WindowOperations& window, const ConversionOutcome& outcome) {
    window.SetMemo1Text(results::kDepthLine);
    AppendResults(window, SizeLine(static_cast<std::uint16_t>(outcome.facts.width),
                                   static_cast<std::uint16_t>(outcome.facts.height)));
    AppendResults(window, results::kOutputLead + outcome.outputName);
    switch (outcome.result) {
    case ConversionResult::Converted: AppendResults(window, results::kDone); break;
    case ConversionResult::OutputNotWritten: AppendResults(window, results::kWriteFailed); break;
    default:
        // Refused as the picture itself, or the open failed: either way the output was not created.
        AppendResults(window, results::kCannotCreate);
        break;
    }
}

}  // namespace

void RunConversionCommand(WindowOperations& window) {
    window.SetOpenDialogFileName("Untitled");
    window.SetMemo1Text("");

    ConversionRequest request;
    if (!window.ExecuteOpenDialog(request.picturePath)) return;
    // Every press starts from the raw colour stream; "Create .h file" decides extension and writer alike.
    request.output.format = window.IsCheckBox1Checked() ? OutputFormat::ArrayText : OutputFormat::RawColourStream;
    request.output.sizePrefix = window.IsCheckBox2Checked();
    request.placement = OutputPlacement::WorkingDirectory;
    request.only24BitPictures = true;

    const ConversionOutcome outcome = ConvertPicture(request);
    switch (outcome.result) {
    case ConversionResult::NotLoaded:
    case ConversionResult::DepthRefused:
    case ConversionResult::OutOfMemory:
        // Whatever kept the picture from loading, the window's one word for it is the depth.
        window.SetMemo1Text(results::kAborted);
        return;
    case ConversionResult::TooLarge: window.SetMemo1Text(results::TooLargeText()); return;
    default: ReportConversion(window, outcome); return;
    }
}
