// Reporting a missing or failing window system at start-up in the program's own words.
#include "window_system_check.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

bool IsSet(const char* value) { return value && *value; }

QtMessageHandler g_passOn = nullptr;

// What the environment names, for the line that reports a failed start.
std::string Named(const char* variable) {
    const char* value = std::getenv(variable);
    return std::string(variable) + (IsSet(value) ? "=\"" + std::string(value) + "\"" : " unset");
}

void ExitOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (g_passOn) {
            g_passOn(type, context, message);
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        }
        return;
    }
    const std::string line = "vandrel: the window system did not start, so no window can be shown (" +
                             Named("DISPLAY") + ", " + Named("WAYLAND_DISPLAY") + ", " + Named("QT_QPA_PLATFORM") +
                             ")\n";
    std::fputs(line.c_str(), stderr);
    // Qt's message ends in the plug-ins it has, which helps where a platform was chosen by name.
    const qsizetype plugins = message.indexOf(QLatin1String("Available platform plugins are:"));
    if (plugins >= 0) std::fprintf(stderr, "vandrel: %s\n", qPrintable(message.mid(plugins).simplified()));
    std::fflush(stderr);
    // Nothing has been built yet that needs taking down; returning would let Qt abort.
    std::_Exit(1);
}

}  // namespace

std::string MissingWindowSystemText(const char* display, const char* waylandDisplay, const char* qtPlatform) {
    if (IsSet(display) || IsSet(waylandDisplay) || IsSet(qtPlatform)) return {};
    return "vandrel: no display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
           "Run it inside a desktop session (or over \"ssh -X\"), or choose a Qt platform in QT_QPA_PLATFORM,\n"
           "such as vnc:size=1280x1024 to serve the window to a VNC viewer on port 5900.\n";
}

WindowSystemStartWatch::WindowSystemStartWatch() : previous_(qInstallMessageHandler(ExitOnFatal)) {
    g_passOn = previous_;
}

WindowSystemStartWatch::~WindowSystemStartWatch() {
    qInstallMessageHandler(previous_);
    g_passOn = nullptr;
}
