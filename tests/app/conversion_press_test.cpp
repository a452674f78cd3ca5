// Whole presses of "Convert BMP" through Qt's own file dialog, driven the way a person would: the
// dialog is found once it is open, a path is typed into it and confirmed, or it is cancelled.
#include <functional>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_form.h"
#include "app/open_dialog.h"
#include "form_controls.h"
#include "white_pixel.h"

namespace {

// A 1 x 1 picture, 24 bits per pixel, whose one pixel is white; its row is padded to 4 bytes.
const QByteArray kWhitePixelBmp = QByteArray::fromHex(
    "424d"
    "3a000000"
    "0000"
    "0000"
    "36000000"  // file header: size 58, pixels at 54
    "28000000"
    "01000000"
    "01000000"
    "0100"
    "1800"  // 40-byte header, 1 x 1, 1 plane, 24 bpp
    "00000000"
    "04000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "ffffff00");  // blue, green, red, padding

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Runs `action` on the modal file dialog as soon as the coming press has opened it and it has become
// the active window, as a person would wait for it. Should the action leave the dialog open, it is
// cancelled, so that a failed check cannot hang the press.
void WhenDialogOpens(std::function<void(QFileDialog&)> action) {
    auto* poll = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, action] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || QApplication::activeWindow() != dialog) {
            if (deadline.hasExpired()) poll->deleteLater();
            return;
        }
        poll->stop();
        poll->deleteLater();
        action(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    poll->start(10);
}

QLineEdit& FileNameField(QFileDialog& dialog) { return *dialog.findChild<QLineEdit*>("fileNameEdit"); }
QComboBox& FileTypeList(QFileDialog& dialog) { return *dialog.findChild<QComboBox*>("fileTypeCombo"); }
QCheckBox& ReadOnlyBox(QFileDialog& dialog) { return *dialog.findChild<QCheckBox*>("readOnlyBox"); }

// On its square, as a person clicks it: the box spans the dialog's width, but only square and label
// take a click.
void ClickReadOnlyBox(QFileDialog& dialog) {
    QCheckBox& box = ReadOnlyBox(dialog);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(4, box.height() / 2));
}

QStringList ShownFileTypes(QFileDialog& dialog) {
    QStringList types;
    for (int i = 0; i < FileTypeList(dialog).count(); ++i) types.append(FileTypeList(dialog).itemText(i));
    return types;
}

// The names the dialog's list offers in the folder it shows.
QStringList ListedNames(QFileDialog& dialog) {
    const QAbstractItemView& view = *dialog.findChild<QAbstractItemView*>("listView");
    QStringList names;
    for (int row = 0; row < view.model()->rowCount(view.rootIndex()); ++row) {
        const QModelIndex item = view.model()->index(row, 0, view.rootIndex());
        if (item.flags() & Qt::ItemIsEnabled) names.append(item.data().toString());
    }
    return names;
}

void TypeName(QFileDialog& dialog, const QString& name) {
    // The dialog follows the typed name only while its file-name field has the focus, as it has for a
    // person typing; without it, folders passed on the way can stay selected and be taken instead.
    QLineEdit& field = FileNameField(dialog);
    field.setFocus(Qt::OtherFocusReason);
    QVERIFY(field.hasFocus());
    field.selectAll();
    QTest::keyClicks(&field, name);
}

// Through the window, as the window system delivers it: an open completion list gets it first.
void PressReturn(QFileDialog& dialog) { QTest::keyClick(dialog.windowHandle(), Qt::Key_Return); }

void TypeAndConfirm(QFileDialog& dialog, const QString& name) {
    TypeName(dialog, name);
    PressReturn(dialog);
}

void Cancel(QFileDialog& dialog) {
    QDialogButtonBox* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
    QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
}

}  // namespace

class ConversionPressTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Every press starts from a folder of its own that holds no picture, and leaves the process's
    // working directory as it found it.
    void init() {
        startDir_ = QDir::currentPath();
        QVERIFY(pictures_.isValid() && elsewhere_.isValid());
        QVERIFY(QDir::setCurrent(elsewhere_.path()));
        form_ = std::make_unique<TMainForm>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanup() {
        form_.reset();
        QDir::setCurrent(startDir_);
        for (const QTemporaryDir* dir : {&pictures_, &elsewhere_}) {
            QDir(dir->path()).removeRecursively();
            QDir().mkpath(dir->path());
        }
    }

    void pressWritesOutputBesideInput_data() {
        QTest::addColumn<bool>("createHFile");
        QTest::addColumn<bool>("addSize");
        QTest::addColumn<QString>("outputName");
        QTest::addColumn<QByteArray>("outputBytes");
        const auto bytes = [](const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), b.size()); };
        QTest::newRow("raw stream with size") << false << true << "white.bmc" << bytes(kWhitePixelStream);
        QTest::newRow("raw stream without size") << false << false << "white.bmc" << bytes(kWhitePixelStreamUnsized);
        QTest::newRow("array text") << true << false << "white.h" << QByteArray::fromStdString(kWhitePixelArrayText);
    }

    void pressWritesOutputBesideInput() {
        QFETCH(bool, createHFile);
        QFETCH(bool, addSize);
        QFETCH(QString, outputName);
        QFETCH(QByteArray, outputBytes);
        const FormControls controls(*form_);
        const QString input = pictures_.filePath("white.bmp");
        QVERIFY(WriteAll(input, kWhitePixelBmp));
        if (controls.CheckBox1->isChecked() != createHFile) QTest::mouseClick(controls.CheckBox1, Qt::LeftButton);
        if (controls.CheckBox2->isChecked() != addSize) QTest::mouseClick(controls.CheckBox2, Qt::LeftButton);

        QString shownName, shownType;
        QPoint shownAt, expectedAt;
        WhenDialogOpens([&](QFileDialog& dialog) {
            shownName = FileNameField(dialog).text();
            shownType = FileTypeList(dialog).currentText();
            const QRect screen = form_->screen()->geometry();
            const QSize outer = dialog.frameGeometry().size();
            shownAt = dialog.frameGeometry().topLeft();
            expectedAt = QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 3);
            TypeAndConfirm(dialog, input);
        });
        QTest::mouseClick(controls.Button1, Qt::LeftButton);

        QCOMPARE(shownName, "Untitled");
        QCOMPARE(shownType, "bmp");
        QCOMPARE(shownAt, expectedAt);
        QCOMPARE(ReadAll(pictures_.filePath(outputName)), outputBytes);
        QVERIFY(!QFile::exists(elsewhere_.filePath(outputName)));
        QCOMPARE(QDir::current(), QDir(pictures_.path()));
        QCOMPARE(controls.Memo1->toPlainText().split(u'\n'),
                 QStringList({"-> Colour Depth 24", "->Width 1 Height 1 ", "-> Output=" + outputName + "-> DONE"}));
    }

    void cancelLeavesResultsEmpty() {
        const FormControls controls(*form_);
        QCOMPARE(controls.Memo1->toPlainText(), "Results:");
        WhenDialogOpens([](QFileDialog& dialog) { Cancel(dialog); });
        QTest::mouseClick(controls.Button1, Qt::LeftButton);

        QCOMPARE(controls.Memo1->toPlainText(), "");
        QCOMPARE(QDir::current(), QDir(elsewhere_.path()));
        QCOMPARE(QDir(elsewhere_.path()).entryList(QDir::Files), QStringList());
    }

    // The file type and the dialog's read-only box: each opening shows them as the last confirmed
    // choice left them, and a cancel changes nothing.
    void confirmedChoicesAreRememberedCancelledAreNot() {
        const FormControls controls(*form_);
        const QString input = pictures_.filePath("white.bmp");
        QVERIFY(WriteAll(input, kWhitePixelBmp));
        QVERIFY(WriteAll(elsewhere_.filePath("abc"), "no dot"));

        // First press: "bmp" and unticked at first; the person picks "All", which lists names without
        // a dot too, ticks the box and confirms a file.
        QStringList types;
        QString opened;
        bool ticked = true;
        WhenDialogOpens([&](QFileDialog& dialog) {
            QVERIFY(dialog.findChild<QCheckBox*>("readOnlyBox"));
            types = ShownFileTypes(dialog);
            opened = FileTypeList(dialog).currentText();
            ticked = ReadOnlyBox(dialog).isChecked();
            QTest::keyClick(&FileTypeList(dialog), Qt::Key_Down);
            QCOMPARE(FileTypeList(dialog).currentText(), "All");
            QTRY_VERIFY(ListedNames(dialog).contains("abc"));
            ClickReadOnlyBox(dialog);
            TypeAndConfirm(dialog, input);
        });
        QTest::mouseClick(controls.Button1, Qt::LeftButton);
        QCOMPARE(types, QStringList({"bmp", "All"}));
        QCOMPARE(opened, "bmp");
        QVERIFY(!ticked);
        QVERIFY(controls.Memo1->toPlainText().endsWith("-> DONE"));

        // Second press: "All" and ticked, with "Untitled" in the name field; the person goes back to
        // "bmp" and unticks, but cancels. Third press: the cancel changed nothing.
        for (int press = 2; press <= 3; ++press) {
            QString shownName;
            WhenDialogOpens([&](QFileDialog& dialog) {
                opened = FileTypeList(dialog).currentText();
                ticked = ReadOnlyBox(dialog).isChecked();
                shownName = FileNameField(dialog).text();
                QTest::keyClick(&FileTypeList(dialog), Qt::Key_Up);
                ClickReadOnlyBox(dialog);
                Cancel(dialog);
            });
            QTest::mouseClick(controls.Button1, Qt::LeftButton);
            QCOMPARE(opened, "All");
            QVERIFY(ticked);
            QCOMPARE(shownName, "Untitled");
        }
    }

    // The list that completes a typed name is a window of its own; Return closes the dialog and the
    // list with it, and the next click reaches the main window.
    void completionListClosesWithDialog() {
        const FormControls controls(*form_);
        const QString input = pictures_.filePath("white.bmp");
        QVERIFY(WriteAll(input, kWhitePixelBmp));
        bool listOpen = false;
        WhenDialogOpens([&](QFileDialog& dialog) {
            TypeName(dialog, input);
            listOpen = QTest::qWaitFor([&] { return FileNameField(dialog).completer()->popup()->isVisible(); });
            PressReturn(dialog);
        });
        QTest::mouseClick(controls.Button1, Qt::LeftButton);
        QVERIFY(listOpen);
        QVERIFY(!QApplication::activePopupWidget());

        QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, {}, controls.CheckBox1->geometry().center());
        QVERIFY(controls.CheckBox1->isChecked());
    }

    void nameOfNoFileIsReturnedAndAborts() {
        const FormControls controls(*form_);
        // Confirming the preset "Untitled" in a folder that has no such file.
        WhenDialogOpens([](QFileDialog& dialog) { PressReturn(dialog); });
        QTest::mouseClick(controls.Button1, Qt::LeftButton);
        QCOMPARE(controls.Memo1->toPlainText(), "Colour depth must be 24\nAborted");
        QCOMPARE(controls.OpenDialog->property("fileName").toString(), elsewhere_.filePath("Untitled"));

        // A typed name in another folder: returned all the same, and that folder becomes current.
        WhenDialogOpens([&](QFileDialog& dialog) { TypeAndConfirm(dialog, pictures_.filePath("missing.bmp")); });
        QTest::mouseClick(controls.Button1, Qt::LeftButton);
        QCOMPARE(controls.Memo1->toPlainText(), "Colour depth must be 24\nAborted");
        QCOMPARE(QDir::current(), QDir(pictures_.path()));
        QCOMPARE(QDir(pictures_.path()).entryList(QDir::Files), QStringList());
    }

    void filterTextBecomesNameFilters_data() {
        QTest::addColumn<QString>("filterText");
        QTest::addColumn<QStringList>("nameFilters");
        QTest::newRow("stored filter") << "bmp|*.bmp|All|*.*" << QStringList{"bmp (*.bmp)", "All (*)"};
        QTest::newRow("every file among others") << "Some|*.bmp;*.*" << QStringList{"Some (*.bmp *)"};
        QTest::newRow("several patterns") << "Pictures|*.bmp;*.dib" << QStringList{"Pictures (*.bmp *.dib)"};
        QTest::newRow("description without pattern") << "bmp|*.bmp|All" << QStringList{"bmp (*.bmp)"};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void filterTextBecomesNameFilters() {
        QFETCH(QString, filterText);
        QFETCH(QStringList, nameFilters);
        QCOMPARE(NameFiltersFromFilterText(filterText), nameFilters);
    }

private:
    QString startDir_;
    QTemporaryDir pictures_;
    QTemporaryDir elsewhere_;
    std::unique_ptr<TMainForm> form_;
};

QTEST_MAIN(ConversionPressTest)
#include "conversion_press_test.moc"
