#include "app/windowsize.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

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
            QTimer::singleShot(0, this, [this] {
                fitOuterSize();
                keepOnScreen();
            });
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

// On a small or strongly scaled screen the window is moved, as little as it
// takes, to lie inside the screen's free area.
void WindowSize::keepOnScreen() {
    const QScreen* screen = window_->screen();
    if (screen == nullptr)
        return;
    const QRect room = screen->availableGeometry();
    const QRect frame = window_->frameGeometry();
    const int x = std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame.width()));
    const int y = std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame.height()));
    if (x != frame.left() || y != frame.top())
        window_->move(x, y);
}

void WindowSize::placeControls() {
    const QSize gained = (window_->size() - window_->minimumSize()).expandedTo(QSize(0, 0));
    list_->setGeometry(QRect(listStart_.topLeft(), listStart_.size() + gained));
    for (const Placed& placed : std::as_const(beside_))
        placed.control->move(placed.start + QPoint(gained.width(), 0));
    for (const Placed& placed : std::as_const(below_))
        placed.control->move(placed.start + QPoint(0, gained.height()));
}
