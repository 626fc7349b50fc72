#pragma once

#include <QComboBox>
#include <QStringList>

class QAbstractItemModel;
class QFontMetrics;

// An editable name box that takes whatever text it holds, chosen or typed:
// typed text is never rewritten and never added to the list, and the list
// keeps the order in which names were added. It tells a choice from the list
// apart from typing that ends on an entry's text. Boxes that offer the same
// names may share one list (setModel()).
class ChoiceCombo : public QComboBox {
    Q_OBJECT
  public:
    explicit ChoiceCombo(QWidget* parent = nullptr);

    // Replaces the list by `names` and shows `text`, with no entry chosen.
    void setNames(const QStringList& names, const QString& text);
    // Shows `text`, with no entry chosen; after the shared list changed.
    void showText(const QString& text);
    // The text the box shows until a name is chosen or typed; selected
    // whenever the box gets the focus while it shows it, so that typing
    // replaces it.
    void setPrompt(const QString& prompt) { prompt_ = prompt; }
    const QString& prompt() const { return prompt_; }
    // As Enter in the box.
    void enter() { emit entered(); }
    void showPopup() override;

  signals:
    // An entry was chosen from the list.
    void chosen();
    // Enter was pressed in the box.
    void entered();

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    void fitPopupWidth();

    QString prompt_;
    bool typing_ = false; // the box is ending a typed text
    bool popupFitted_ = false;
};

// The width of the widest name of `names` in `metrics`. A list may hold a
// million names: only the longest ones, in characters, are measured, as
// they are the widest but for a few pixels.
int widestName(const QAbstractItemModel& names, const QFontMetrics& metrics);
