#pragma once

#include <QComboBox>
#include <QStringList>

// An editable name box that takes whatever text it holds, chosen or typed:
// typed text is never rewritten and never added to the list, and the list
// keeps the order in which names were added. It tells a choice from the list
// apart from typing that ends on an entry's text.
class ChoiceCombo : public QComboBox {
    Q_OBJECT
  public:
    explicit ChoiceCombo(QWidget* parent = nullptr);

    // Replaces the list by `names` and shows `text`, with no entry chosen.
    void setNames(const QStringList& names, const QString& text);
    void showPopup() override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // An entry was chosen from the list.
    void chosen();
    // Enter was pressed in the box.
    void entered();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fitPopupWidth();
    void takeHeldFont() const;

    bool typing_ = false; // the box is ending a typed text
    bool popupFitted_ = false;
    mutable bool fontHeld_ = false; // a font change not yet passed on
};
