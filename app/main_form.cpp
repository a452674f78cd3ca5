// Builds MainForm from its description and connects the convert button to the conversion command.
#include "app/main_form.h"

#include <QFont>
#include <QPoint>
#include <QRect>

#include "app/form_window_operations.h"
#include "outer_frame.h"
#include "ui_main_form.h"
#include "window_command/conversion_command.h"

namespace {

// Qt's form description holds font sizes in points only; the stored height is in pixels.
void ApplyFontPixelSize(QWidget& form) {
    QFont font = form.font();
    font.setPixelSize(form.property("fontPixelSize").toInt());
    font.setStyleHint(QFont::SansSerif);  // where the stored face is not installed
    form.setFont(font);
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TMainForm>()) {
    // The icon lives in a static library, whose resources are not registered on their own.
    Q_INIT_RESOURCE(vandrel);
    ui->setupUi(this);
    ApplyFontPixelSize(*this);
    KeepOuterFrame(*this, QRect(property("framePosition").toPoint(), size()));
    connect(ui->Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
}

TMainForm::~TMainForm() = default;

void TMainForm::Button1Click() {
    FormWindowOperations window(*ui->OpenDialog, *ui->CheckBox1, *ui->CheckBox2, *ui->Memo1);
    RunConversionCommand(window);
}
