// The six operations the conversion command needs of a window. The real window implements them with
// its controls; tests and other front ends supply their own.
#pragma once

#include <string>

class WindowOperations {
public:
    virtual ~WindowOperations() = default;

    // Presets the file name that the open dialog shows when it next opens.
    virtual void SetOpenDialogFileName(const std::string& fileName) = 0;
    // Runs the open dialog modally. On a confirmed choice answers true, puts the full path of the
    // chosen file in `chosenPath` and leaves the working directory at that file's folder.
    virtual bool ExecuteOpenDialog(std::string& chosenPath) = 0;
    // "Create .h file".
    virtual bool IsCheckBox1Checked() = 0;
    // "Add H+W".
    virtual bool IsCheckBox2Checked() = 0;
    // The whole results text, lines separated by "\r\n".
    virtual std::string Memo1Text() = 0;
    virtual void SetMemo1Text(const std::string& text) = 0;
};
