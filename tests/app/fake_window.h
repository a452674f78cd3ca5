// Test helper: a stand-in for the window's six operations, answering the dialog with a preset path.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "window_command/window_operations.h"

// Like the real window, a confirmed choice leaves the working directory at the chosen file's folder.
class FakeWindow : public WindowOperations {
public:
    void SetOpenDialogFileName(const std::string& fileName) override { dialogFileName = fileName; }
    bool ExecuteOpenDialog(std::string& chosenPath) override {
        ++dialogRuns;
        if (!choice) return false;
        chosenPath = *choice;
        std::filesystem::current_path(std::filesystem::path(*choice).parent_path());
        return true;
    }
    bool IsCheckBox1Checked() override { return createHeader; }
    bool IsCheckBox2Checked() override { return addSize; }
    std::string Memo1Text() override { return memo; }
    void SetMemo1Text(const std::string& text) override { memo = text; }

    std::optional<std::string> choice;
    bool createHeader = false;
    bool addSize = true;
    std::string memo = "Results:";
    std::string dialogFileName;
    int dialogRuns = 0;
};
