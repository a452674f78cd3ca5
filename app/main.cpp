// Start-up: shows MainForm and runs the event loop until it is closed.
#include <QApplication>

#include "app/main_form.h"

int main(int argc, char* argv[]) {
    // The program takes no arguments: Qt is shown only the program's own name, so that nothing on the
    // command line, not even a toolkit option, changes what a start shows.
    int toolkitArgc = argc > 0 ? 1 : 0;
    QApplication application(toolkitArgc, argv);
    TMainForm MainForm;
    MainForm.show();
    QApplication::exec();
    return 0;
}
