// One press of "Convert BMP", from the file dialog to the last line of the results text.
#include "conversion_command.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "bitmap/bitmap.h"
#include "display_writers.h"
#include "output_checks.h"
#include "output_name.h"
#include "results_text.h"

namespace {

// Each report after the first is joined to whatever the results box shows at that moment.
void AppendResults(WindowOperations& window, const std::string& piece) {
    window.SetMemo1Text(window.Memo1Text() + piece);
}

void RemoveIfRegularFile(const std::string& name) {
    std::error_code unknown;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(name, unknown)))
        std::filesystem::remove(name, unknown);
}

std::string SizeLine(std::uint16_t width, std::uint16_t height) {
    char line[64];
    std::snprintf(line, sizeof line, results::kSizeLineFormat, int{width}, int{height});
    return std::string(results::kSizeLineLead) + line;
}

}  // namespace

void RunConversionCommand(WindowOperations& window) {
    window.SetOpenDialogFileName("Untitled");
    window.SetMemo1Text("");

    std::string inputPath;
    if (!window.ExecuteOpenDialog(inputPath)) return;

    BitmapImage* image = ReadBitmapFile(inputPath.c_str());
    // A failed load shows as a depth of all ones, which is never 24.
    if (BitmapDepth(image) != kConvertibleDepth) {
        window.SetMemo1Text(results::kAborted);
        FreeBitmap(image);
        return;
    }

    const std::uint32_t fullWidth = BitmapWidth(image);
    const std::uint32_t fullHeight = BitmapHeight(image);
    if (fullWidth > kLargestSide || fullHeight > kLargestSide) {
        window.SetMemo1Text(results::kTooLarge);
        FreeBitmap(image);
        return;
    }
    const auto width = static_cast<std::uint16_t>(fullWidth);
    const auto height = static_cast<std::uint16_t>(fullHeight);

    window.SetMemo1Text(results::kDepthLine);
    AppendResults(window, SizeLine(width, height));

    // Every press starts from "bmc"; the box decides both the extension and the writer.
    const bool arrayText = window.IsCheckBox1Checked();
    const std::string_view extension = arrayText ? "h" : "bmc";
    const std::string outputName = FormOutputName(inputPath, extension);
    AppendResults(window, results::kOutputLead + outputName);

    // A picture named like its own output ("pic.bmc") would be emptied by the open; refuse instead.
    std::FILE* out = IsSameFile(outputName, inputPath) ? nullptr : std::fopen(outputName.c_str(), "wb");
    if (!out) {
        AppendResults(window, results::kCannotCreate);
        FreeBitmap(image);
        return;
    }
    const bool written = arrayText ? WriteArrayText(image, width, height, out)
                                   : WriteRawColourStream(image, width, height,
                                                          window.IsCheckBox2Checked(), out);
    const bool closed = std::fclose(out) == 0;
    FreeBitmap(image);

    if (!written || !closed) {
        // A short file would look like a valid conversion to whoever flashes it; take it away.
        // Only a plain file is ours to remove: never a device or a link that stood under the name.
        RemoveIfRegularFile(outputName);
        AppendResults(window, results::kWriteFailed);
        return;
    }
    AppendResults(window, results::kDone);
}
