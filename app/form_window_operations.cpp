// The six window operations of the conversion command, on the form's Qt controls.
#include "app/form_window_operations.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QString>

#include "app/open_dialog.h"

namespace {
constexpr QLatin1StringView kResultsLineBreak("\r\n");
constexpr QLatin1StringView kTextBoxLineBreak("\n");
}  // namespace

FormWindowOperations::FormWindowOperations(QFileDialog& openDialog, QCheckBox& checkBox1, QCheckBox& checkBox2,
                                           QPlainTextEdit& memo1)
    : openDialog_(openDialog), checkBox1_(checkBox1), checkBox2_(checkBox2), memo1_(memo1) {}

void FormWindowOperations::SetOpenDialogFileName(const std::string& fileName) {
    ::SetOpenDialogFileName(openDialog_, QString::fromStdString(fileName));
}

bool FormWindowOperations::ExecuteOpenDialog(std::string& chosenPath) {
    if (!::ExecuteOpenDialog(openDialog_)) return false;
    chosenPath = QFile::encodeName(OpenDialogFileName(openDialog_)).toStdString();
    return true;
}

bool FormWindowOperations::IsCheckBox1Checked() { return checkBox1_.isChecked(); }

bool FormWindowOperations::IsCheckBox2Checked() { return checkBox2_.isChecked(); }

std::string FormWindowOperations::Memo1Text() {
    return memo1_.toPlainText().replace(kTextBoxLineBreak, kResultsLineBreak).toStdString();
}

void FormWindowOperations::SetMemo1Text(const std::string& text) {
    // Left as a pair, '\r' and '\n' would each start a line of their own in the box.
    memo1_.setPlainText(QString::fromStdString(text).replace(kResultsLineBreak, kTextBoxLineBreak));
}
