// The form's file-open dialog. It is a QFileDialog whose stored settings live on it as dynamic
// properties (set from the form's description) and are applied afresh at every showing:
//   "filter"           file types as text, descriptions and patterns alternating, separated by '|';
//                      the list shows the descriptions only
//   "filterIndex"      the file type selected when it next opens, counted from 0
//   "fileName"         the name its file-name field shows when it next opens; after a confirmed
//                      choice, the full path of the chosen file
//   "readOnlyChecked"  whether its "Open as read-only" box (which Qt's dialog lacks, so it is added)
//                      is ticked when it next opens; nothing else reads the box
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QFileDialog;

// Turns filter text such as "bmp|*.bmp|All|*.*" into Qt's name filters "bmp (*.bmp)" and "All (*)".
// Several patterns of one entry, separated by ';', are listed with spaces between them. A pattern
// "*.*" becomes "*", so that it lists every file, also names without a dot. A last description that
// has no pattern is dropped.
QStringList NameFiltersFromFilterText(const QString& filterText);

// Where the top left corner of a dialog whose outer size is `outer` goes on the screen `screen`:
// centred horizontally, its top at one third of the height the dialog leaves free, in whole pixels.
QPoint DialogPosition(const QRect& screen, const QSize& outer);

// Sets the name that the file-name field shows when the dialog next opens.
void SetOpenDialogFileName(QFileDialog& dialog, const QString& fileName);

// The name last set, or after a confirmed choice the chosen file's full path.
QString OpenDialogFileName(const QFileDialog& dialog);

// Shows the dialog modally, in the working directory, with the remembered file type and read-only tick
// and the set name. On a confirmed choice answers true: the file name becomes the chosen file's full
// path (the file need not exist), the file type and the read-only tick at that moment are remembered,
// and the working directory becomes the chosen file's folder. A cancel answers false and changes none
// of these.
// However it closes, no completion list of its name field stays on the screen.
bool ExecuteOpenDialog(QFileDialog& dialog);
