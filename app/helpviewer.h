#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// The user guide, Readme.txt, in a read-only viewer.
class HelpViewer : public QDialog {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Where the guide lies: next to the program, in the installed doc folder,
    // or in the source tree the program was built from, the first of them
    // that is a regular file; empty if none is.
    static QString guidePath();
    // Shows the guide in the viewer of `window`, made on first use.
    static void showFor(QWidget* window);
    // A click on `label` shows the guide.
    static void openOnClick(QLabel* label);

  private:
    // Loads the guide, or says where it was looked for.
    void load();

    QPlainTextEdit* text_;
};
