// Fits a top-level window's client area to a stored outer size once the frame's margins are known.
#include "outer_frame.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace {

// Lives as a child of the window it watches and removes itself after its one adjustment.
class OuterFrameFitter final : public QObject {
public:
    OuterFrameFitter(QWidget& window, const QRect& outer) : QObject(&window), window_(window), outer_(outer) {
        window_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            FitOnceFramed();
        }
        return false;
    }

private:
    void FitOnceFramed() {
        const QSize decoration = window_.frameGeometry().size() - window_.geometry().size();
        if (decoration.isNull()) return;  // not framed yet, or never will be
        window_.removeEventFilter(this);
        window_.resize(outer_.size() - decoration);
        // The frame's top left normally stays put through the resize; put it back where it does not.
        if (window_.frameGeometry().topLeft() != outer_.topLeft()) window_.move(outer_.topLeft());
        deleteLater();
    }

    QWidget& window_;
    const QRect outer_;
};

}  // namespace

void KeepOuterFrame(QWidget& window, const QRect& outer) {
    window.move(outer.topLeft());  // a top-level window's position is that of its frame
    window.resize(outer.size());
    new OuterFrameFitter(window, outer);
}
