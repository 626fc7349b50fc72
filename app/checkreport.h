#pragma once

#include "check/check.h"

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>

class QTreeWidget;
class QPushButton;

// The problems of a data folder, one row each: file, line, severity and
// message, in the check's order. Enter, a double click or "Open in editor"
// opens the row's file with the program the system opens it with (the line
// cannot be passed on).
class CheckReportDialog final : public QDialog {
    Q_OBJECT
  public:
    CheckReportDialog(const qdc::CheckReport& report, const QString& folder,
                      QWidget* parent = nullptr);

    QTreeWidget* rows() const { return rows_; }
    // Opens the file of the current row.
    void openCurrent();
    // How a file is opened; tests put in one that records it.
    std::function<void(const QUrl&)> openUrl;

  private:
    QTreeWidget* rows_;
    QPushButton* open_;
    QString folder_;
};
