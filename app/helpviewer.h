#pragma once

#include <QDialog>

class QPlainTextEdit;

// The user guide, Readme.txt, in a read-only viewer.
class HelpViewer : public QDialog {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Where the guide lies: next to the program, in the installed doc folder,
    // or in the source tree the program was built from; empty if nowhere.
    static QString guidePath();
    // Loads the guide; false when it is not found or cannot be read.
    bool load();

  private:
    QPlainTextEdit* text_;
};
