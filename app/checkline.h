#pragma once

#include "check/check.h"

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

// How many problems a check found, as the line under the list says it:
// "2 errors, 1 warning in this data folder"; empty when there are none.
QString problemSummary(int errors, int warnings);

// The line under the result list that tells what the check of the data
// folder found, with "Show" opening the report; hidden while the folder is
// clean or unchecked.
class CheckLine final : public QWidget {
    Q_OBJECT
  public:
    explicit CheckLine(QWidget* parent = nullptr);

    // Shows `report` of the data folder `folder`.
    void setReport(const qdc::CheckReport& report, const QString& folder);
    // Hides the line until the next report.
    void clear();
    // Opens the report of the problems shown.
    void showReport();

    const QLabel* summary() const { return summary_; }
    QPushButton* showButton() const { return show_; }

  private:
    QLabel* summary_;
    QPushButton* show_;
    qdc::CheckReport report_;
    QString folder_;
};
