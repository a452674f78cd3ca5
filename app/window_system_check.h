// Start-up's checks that a window system is there to show the window on, so that its absence is
// reported in a line of the program's own instead of by Qt's abort.
#pragma once

#include <QtGlobal>

#include <string>

// The line that says no window system is named, or an empty text where one is: a display of X or
// Wayland, or a Qt platform chosen by name. Each argument is the variable's value, or null where unset.
std::string MissingWindowSystemText(const char* display, const char* waylandDisplay, const char* qtPlatform);

// While it lives, a fatal message from Qt, as its platform plugin gives when it cannot start, ends the
// program with exit code 1 and a line that says the window system did not start, instead of Qt's
// advice to reinstall and an abort. Qt's other messages pass on as before.
class WindowSystemStartWatch {
public:
    WindowSystemStartWatch();
    ~WindowSystemStartWatch();
    WindowSystemStartWatch(const WindowSystemStartWatch&) = delete;
    WindowSystemStartWatch& operator=(const WindowSystemStartWatch&) = delete;

private:
    QtMessageHandler previous_;
};
