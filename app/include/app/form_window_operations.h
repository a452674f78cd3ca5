// The conversion command's view of the main window: its six operations carried out on the form's
// controls. Holds no state of its own, so one can be made for each press.
#pragma once

#include <string>

#include "window_command/window_operations.h"

class QCheckBox;
class QFileDialog;
class QPlainTextEdit;

class FormWindowOperations final : public WindowOperations {
public:
    FormWindowOperations(QFileDialog& openDialog, QCheckBox& checkBox1, QCheckBox& checkBox2, QPlainTextEdit& memo1);

    void SetOpenDialogFileName(const std::string& fileName) override;
    // The chosen path is handed over in the file system's own encoding, ready for fopen.
    bool ExecuteOpenDialog(std::string& chosenPath) override;
    bool IsCheckBox1Checked() override;
    bool IsCheckBox2Checked() override;
    // The text box keeps lines apart by its own separator; the command's text has "\r\n" between
    // lines. Both directions convert at this boundary, so a set followed by a get answers the same text.
    std::string Memo1Text() override;
    void SetMemo1Text(const std::string& text) override;

private:
    QFileDialog& openDialog_;
    QCheckBox& checkBox1_;
    QCheckBox& checkBox2_;
    QPlainTextEdit& memo1_;
};
