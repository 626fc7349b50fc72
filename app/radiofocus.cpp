#include "app/radiofocus.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QRadioButton>

namespace {

class SelectedRadioFocus : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const auto* radio = qobject_cast<QRadioButton*>(watched);
        if (radio == nullptr || radio->isChecked() || radio->group() == nullptr ||
            (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason))
            return false;
        if (QAbstractButton* selected = radio->group()->checkedButton())
            selected->setFocus(reason);
        return false;
    }
};

} // namespace

void tabToSelectedRadio(QWidget* form) {
    auto* filter = new SelectedRadioFocus(form);
    for (QRadioButton* radio : form->findChildren<QRadioButton*>())
        radio->installEventFilter(filter);
}
