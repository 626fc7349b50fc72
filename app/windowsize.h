#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

// The size of the main window. Its size is its outer size, frame included,
// once a window manager has put a frame around it; it cannot be made smaller
// than that. The room it gains goes to the result list, whose top-left corner
// stays; the controls beside the list keep their distance to its right edge,
// those below it their distance to its bottom edge. A window that would reach
// past the screen's free area is moved into it.
class WindowSize : public QObject {
    Q_OBJECT
  public:
    WindowSize(QWidget* window, QSize outerSize, QWidget* list);

    void addBeside(QWidget* control);
    void addBelow(QWidget* control);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fitOuterSize();
    void keepOnScreen();
    void placeControls();

    struct Placed {
        QWidget* control;
        QPoint start;
    };

    QWidget* window_;
    QSize outerSize_;
    QWidget* list_;
    QRect listStart_;
    QList<Placed> beside_;
    QList<Placed> below_;
    bool fitted_ = false;
};
