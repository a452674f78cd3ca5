// The main window as a start shows it, its tab order, and the results box: closed to typing, open to
// the conversion command.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QStandardPaths>
#include <QTest>

#include "app/form_window_operations.h"
#include "app/main_form.h"
#include "form_controls.h"

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void startsWithStoredWindow() {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QCOMPARE(form.objectName(), "MainForm");
        QCOMPARE(form.windowTitle(), "Vandrel");
        // No frame is drawn offscreen, so the outer frame is the client area.
        QCOMPARE(form.frameGeometry(), QRect(789, 134, 241, 188));
        QCOMPARE(form.font().family(), "MS Sans Serif");
        QCOMPARE(form.font().pixelSize(), 11);
        QVERIFY(!form.font().bold() && !form.font().italic() && !form.font().underline() && !form.font().strikeOut());

        const QImage icon(":/MAINICON");
        QCOMPARE(icon.size(), QSize(32, 32));
        QVERIFY(icon.colorCount() > 0 && icon.colorCount() <= 16);
        QVERIFY(!form.windowIcon().isNull());
    }

    void startsWithStoredControls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QString>("text");
        QTest::newRow("Button1") << "Button1" << QRect(8, 16, 83, 25) << "Convert BMP";
        QTest::newRow("Memo1") << "Memo1" << QRect(8, 48, 209, 65) << "Results:";
        QTest::newRow("CheckBox1") << "CheckBox1" << QRect(8, 128, 97, 17) << "Create .h file";
        QTest::newRow("CheckBox2") << "CheckBox2" << QRect(112, 128, 97, 17) << "Add H+W";
    }

    void startsWithStoredControls() {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QFETCH(QString, text);
        TMainForm form;
        QWidget* control = form.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        QVERIFY(control);
        QCOMPARE(control->geometry(), bounds);
        QCOMPARE(control->font().pixelSize(), 11);
        QCOMPARE(control->property(name == "Memo1" ? "plainText" : "text").toString(), text);
    }

    void startsWithStoredStates() {
        TMainForm form;
        const FormControls controls(form);
        QVERIFY(controls.AllFound());

        QVERIFY(!controls.CheckBox1->isChecked());
        QVERIFY(controls.CheckBox2->isChecked());

        QPlainTextEdit& memo = *controls.Memo1;
        QCOMPARE(memo.blockCount(), 1);
        QVERIFY(memo.isReadOnly());
        QCOMPARE(memo.palette().color(QPalette::Active, QPalette::Base), QColor(0, 255, 255));
        QCOMPARE(memo.palette().color(QPalette::Inactive, QPalette::Base), QColor(0, 255, 255));
        QCOMPARE(memo.lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(memo.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(memo.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        QFileDialog& dialog = *controls.OpenDialog;
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dialog.property("filter").toString(), "bmp|*.bmp|All|*.*");
        QCOMPARE(dialog.property("filterIndex").toInt(), 0);
        QCOMPARE(dialog.property("fileName").toString(), "");
    }

    void tabCyclesThroughControls() {
        TMainForm form;
        const FormControls controls(form);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        controls.Button1->setFocus(Qt::OtherFocusReason);
        QCOMPARE(QApplication::focusWidget(), controls.Button1);

        for (QWidget* next : {static_cast<QWidget*>(controls.Memo1), static_cast<QWidget*>(controls.CheckBox1),
                              static_cast<QWidget*>(controls.CheckBox2), static_cast<QWidget*>(controls.Button1)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void typingIntoResultsChangesNothing() {
        TMainForm form;
        const FormControls controls(form);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QPlainTextEdit& memo = *controls.Memo1;
        memo.setFocus(Qt::OtherFocusReason);

        QTest::keyClicks(&memo, "typed");
        QTest::keyClick(&memo, Qt::Key_Return);
        QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&memo, Qt::Key_Delete);
        QTest::keyClick(&memo, Qt::Key_Backspace);
        QApplication::clipboard()->setText("pasted");
        QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&memo, Qt::Key_X, Qt::ControlModifier);

        QCOMPARE(memo.toPlainText(), "Results:");
    }

    void commandSetsAndGetsWholeResults_data() {
        QTest::addColumn<QString>("results");
        QTest::addColumn<QStringList>("shownLines");
        QTest::newRow("empty") << "" << QStringList{""};
        QTest::newRow("abort message") << "Colour depth must be 24\r\nAborted"
                                       << QStringList{"Colour depth must be 24", "Aborted"};
        QTest::newRow("depth line ends in a break") << "-> Colour Depth 24\r\n"
                                                    << QStringList{"-> Colour Depth 24", ""};
        QTest::newRow("done") << "-> Colour Depth 24\r\n->Width 32 Height 16 \r\n-> Output=logo.bmc-> DONE"
                              << QStringList{"-> Colour Depth 24", "->Width 32 Height 16 ",
                                             "-> Output=logo.bmc-> DONE"};
    }

    void commandSetsAndGetsWholeResults() {
        QFETCH(QString, results);
        QFETCH(QStringList, shownLines);
        TMainForm form;
        const FormControls controls(form);
        FormWindowOperations window(*controls.OpenDialog, *controls.CheckBox1, *controls.CheckBox2, *controls.Memo1);

        window.SetMemo1Text(results.toStdString());

        QCOMPARE(controls.Memo1->blockCount(), shownLines.size());
        QCOMPARE(controls.Memo1->toPlainText().split(u'\n'), shownLines);
        QCOMPARE(QString::fromStdString(window.Memo1Text()), results);
    }

    void commandReadsCheckBoxesAsTicked() {
        TMainForm form;
        const FormControls controls(form);
        FormWindowOperations window(*controls.OpenDialog, *controls.CheckBox1, *controls.CheckBox2, *controls.Memo1);
        QVERIFY(!window.IsCheckBox1Checked());
        QVERIFY(window.IsCheckBox2Checked());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(controls.CheckBox1, Qt::LeftButton);
        QTest::mouseClick(controls.CheckBox2, Qt::LeftButton);
        QVERIFY(window.IsCheckBox1Checked());
        QVERIFY(!window.IsCheckBox2Checked());
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
