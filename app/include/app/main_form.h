// The program's one window, MainForm: the convert button, the results box, two option check boxes and
// the file-open dialog, all built from main_form.ui.
#pragma once

#include <memory>

#include <QWidget>

namespace Ui {
class TMainForm;
}

// Its components, declared in the generated Ui::TMainForm in this order: Button1, OpenDialog, Memo1,
// CheckBox1, CheckBox2. Every property value comes from the form description; this class only wires
// the click of Button1 to the conversion command.
class TMainForm : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

private slots:
    // Runs one conversion: the command reaches the controls through FormWindowOperations.
    void Button1Click();

private:
    std::unique_ptr<Ui::TMainForm> ui;
};
