// Start-up: shows MainForm and runs the event loop until it is closed.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/main_form.h"
#include "window_system_check.h"

int main(int argc, char* argv[]) {
    // Without a window system Qt aborts with advice to reinstall; say what is missing instead.
    const std::string missing =
        MissingWindowSystemText(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("QT_QPA_PLATFORM"));
    if (!missing.empty()) {
        std::fputs(missing.c_str(), stderr);
        return 1;
    }
    // The program takes no arguments: Qt is shown only the program's own name, so that nothing on the
    // command line, not even a toolkit option, changes what a start shows.
    int toolkitArgc = argc > 0 ? 1 : 0;
    std::optional<WindowSystemStartWatch> watch(std::in_place);
    QApplication application(toolkitArgc, argv);
    watch.reset();
    TMainForm MainForm;
    MainForm.show();
    QApplication::exec();
    return 0;
}
