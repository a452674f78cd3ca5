// Test helper: the main window's controls, found by the names its description gives them.
#pragma once

#include <QCheckBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

struct FormControls {
    explicit FormControls(QWidget& form)
        : Button1(form.findChild<QPushButton*>("Button1", Qt::FindDirectChildrenOnly)),
          OpenDialog(form.findChild<QFileDialog*>("OpenDialog", Qt::FindDirectChildrenOnly)),
          Memo1(form.findChild<QPlainTextEdit*>("Memo1", Qt::FindDirectChildrenOnly)),
          CheckBox1(form.findChild<QCheckBox*>("CheckBox1", Qt::FindDirectChildrenOnly)),
          CheckBox2(form.findChild<QCheckBox*>("CheckBox2", Qt::FindDirectChildrenOnly)) {}

    bool AllFound() const { return Button1 && OpenDialog && Memo1 && CheckBox1 && CheckBox2; }

    QPushButton* Button1;
    QFileDialog* OpenDialog;
    QPlainTextEdit* Memo1;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
};
