#include "app/windowsize.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

WindowSize::WindowSize(QWidget* window, QSize outerSize, QWidget* list)
    : QObject(window), window_(window), outerSize_(outerSize), list_(list),
      listStart_(list->geometry()) {
    // Until the frame is known, the window is its client area.
    window_->setMinimumSize(outerSize_);
    window_->resize(outerSize_);
    window_->installEventFilter(this);
}

void WindowSize::addBeside(QWidget* control) {
    beside_.append({control, control->pos()});
}

void WindowSize::addBelow(QWidget* control) {
    below_.append({control, control->pos()});
}

bool WindowSize::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
        case QEvent::Show:
            QTimer::singleShot(0, this, &WindowSize::fitOuterSize);
            break;
        case QEvent::Move:
            fitOuterSize();
            break;
        case QEvent::Resize:
            placeControls();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

// The frame is known only once a window manager has put one around the
// window; with no frame at all the client area keeps the whole size.
void WindowSize::fitOuterSize() {
    if (fitted_ || !window_->isVisible())
        return;
    const QSize frame = window_->frameGeometry().size() - window_->geometry().size();
    if (frame.width() <= 0 && frame.height() <= 0)
        return;
    fitted_ = true;
    const QSize client = outerSize_ - frame;
    window_->setMinimumSize(client);
    window_->resize(client);
}

void WindowSize::placeControls() {
    const QSize gained = (window_->size() - window_->minimumSize()).expandedTo(QSize(0, 0));
    list_->setGeometry(QRect(listStart_.topLeft(), listStart_.size() + gained));
    for (const Placed& placed : std::as_const(beside_))
        placed.control->move(placed.start + QPoint(gained.width(), 0));
    for (const Placed& placed : std::as_const(below_))
        placed.control->move(placed.start + QPoint(0, gained.height()));
}
