// Places a top-level window by its outer frame: stored positions and sizes count the window system's
// decoration, while Qt sizes a window by its client area.
#pragma once

#include <QRect>

class QWidget;

// Puts the outer frame of `window` at `outer.topLeft()` and makes frame and client together
// `outer.size()`. The client starts at the whole size, since the decoration is unknown until the window
// system has framed the shown window; the first time a move or resize shows the frame's margins, the
// client shrinks by them, once, so later resizing by the user is left alone. Where no frame is drawn
// (offscreen, some embedded platforms) the client keeps the whole size.
void KeepOuterFrame(QWidget& window, const QRect& outer);
