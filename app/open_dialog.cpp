// Showing the file-open dialog with its stored settings, and keeping what a confirmed choice changes.
#include "app/open_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMargins>
#include <QScreen>

namespace {

constexpr char kFilter[] = "filter";
constexpr char kFilterIndex[] = "filterIndex";
constexpr char kFileName[] = "fileName";
constexpr char kReadOnlyChecked[] = "readOnlyChecked";
constexpr char kReadOnlyBox[] = "readOnlyBox";

// The decoration the window system draws around `window`; empty while it is unknown.
QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

void PlaceDialog(QFileDialog& dialog) {
    // The size Qt itself would give at the first showing; later showings keep whatever size it has.
    if (!dialog.testAttribute(Qt::WA_Resized)) dialog.adjustSize();

    // The dialog's frame is known only once it has been shown; until then the main window's frame
    // is the best guess, as the window system decorates both alike.
    QMargins margins = FrameMargins(dialog);
    QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (margins.isNull() && owner) margins = FrameMargins(*owner);

    const QScreen* screen = owner ? owner->screen() : dialog.screen();
    const QSize outer = dialog.size().grownBy(margins);
    dialog.move(DialogPosition(screen->geometry(), outer));
}

// The name field's completion list is a window of its own that Qt leaves open when Return in the
// field closes the dialog; left open, it would swallow the next click anywhere on the screen.
void HideCompletionLists(const QFileDialog& dialog) {
    for (QCompleter* completer : dialog.findChildren<QCompleter*>()) completer->popup()->hide();
}

// Qt's own dialog has no read-only check box; the form's dialog shows one below its file type list,
// made at the first showing. Qt lays its dialog out on a grid of labels, fields and buttons.
QCheckBox& ReadOnlyBox(QFileDialog& dialog) {
    if (auto* box = dialog.findChild<QCheckBox*>(kReadOnlyBox, Qt::FindDirectChildrenOnly)) return *box;
    auto* box = new QCheckBox(QFileDialog::tr("Open as &read-only"), &dialog);
    box->setObjectName(kReadOnlyBox);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) grid->addWidget(box, grid->rowCount(), 1);
    return *box;
}

// Which of `filters` is selected. Where the dialog hides the patterns, Qt answers only the description.
qsizetype SelectedFilterIndex(const QFileDialog& dialog, const QStringList& filters) {
    const QString selected = dialog.selectedNameFilter();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == selected || filters[i].startsWith(selected + QStringLiteral(" ("))) return i;
    }
    return -1;
}

}  // namespace

QStringList NameFiltersFromFilterText(const QString& filterText) {
    const QStringList parts = filterText.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        // Where the form was designed, "*.*" matches every name; Qt would demand a dot in it.
        for (QString& pattern : patterns) {
            if (pattern == u"*.*") pattern = QStringLiteral("*");
        }
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' ')));
    }
    return filters;
}

QPoint DialogPosition(const QRect& screen, const QSize& outer) {
    return {screen.left() + (screen.width() - outer.width()) / 2,
            screen.top() + (screen.height() - outer.height()) / 3};
}

void SetOpenDialogFileName(QFileDialog& dialog, const QString& fileName) { dialog.setProperty(kFileName, fileName); }

QString OpenDialogFileName(const QFileDialog& dialog) { return dialog.property(kFileName).toString(); }

bool ExecuteOpenDialog(QFileDialog& dialog) {
    const QStringList filters = NameFiltersFromFilterText(dialog.property(kFilter).toString());
    dialog.setNameFilters(filters);
    const int filterIndex = dialog.property(kFilterIndex).toInt();
    if (filterIndex >= 0 && filterIndex < filters.size()) dialog.selectNameFilter(filters[filterIndex]);

    // The dialog is kept between showings; a cancelled showing must not leave its folder behind.
    dialog.setDirectory(QDir::current());
    dialog.selectFile(OpenDialogFileName(dialog));
    QCheckBox& readOnlyBox = ReadOnlyBox(dialog);
    readOnlyBox.setChecked(dialog.property(kReadOnlyChecked).toBool());
    PlaceDialog(dialog);

    const int outcome = dialog.exec();
    HideCompletionLists(dialog);
    if (outcome != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;

    dialog.setProperty(kFileName, chosen.first());
    const qsizetype selected = SelectedFilterIndex(dialog, filters);
    if (selected >= 0) dialog.setProperty(kFilterIndex, static_cast<int>(selected));
    dialog.setProperty(kReadOnlyChecked, readOnlyBox.isChecked());
    // Qt's dialog leaves the working directory alone; the output is created beside the input by bare name.
    QDir::setCurrent(QFileInfo(chosen.first()).absolutePath());
    return true;
}
