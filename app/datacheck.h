#pragma once

#include "check/check.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <memory>
#include <string>

class QThread;

// Checks a data folder for the mistakes its authors make (qdc::checkData, as
// the tool's "check" does), on a thread of its own, so that the window keeps
// answering. A newer check supersedes an older one, whose report is dropped.
class DataCheck final : public QObject {
    Q_OBJECT
  public:
    explicit DataCheck(QObject* parent = nullptr);
    ~DataCheck() override;
    DataCheck(const DataCheck&) = delete;
    DataCheck& operator=(const DataCheck&) = delete;

    // Checks the files of `folder` (as the system names it); `checked` is
    // emitted with the report on the window's thread.
    void start(const std::string& folder, char decimalSeparator);
    bool running() const { return current_ != nullptr; }

  signals:
    void checked(const qdc::CheckReport& report);

  private:
    struct Job {
        std::atomic<bool> cancel{false};
        qdc::CheckReport report;
        bool failed = false;
    };

    std::shared_ptr<Job> current_;
    QList<QThread*> threads_;
};
