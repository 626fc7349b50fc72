#pragma once

#include "results/answer.h"

#include <QString>

#include <exception>
#include <functional>

class QWidget;

// An error as the window tells it: the message, where in the data it arose
// and what to do about it (empty when there is nothing to say), and the
// system's own words.
struct ErrorReport {
    QString message;
    QString place;
    QString details;
    // When set, the box offers "Choose data folder…" beside OK, which runs it.
    std::function<void()> chooseFolder = {};
    // What the core says of the error, as the page and the tool tell it too;
    // empty for the window's own messages.
    qdc::ErrorDescription description = {};
};

// The report of an error raised while working on the data folder
// `dataFolder`, written from the core's description (qdc::describeError).
ErrorReport describeError(const std::exception& error, const QString& dataFolder);
// The same for the error `failure` holds.
ErrorReport describeError(const std::exception_ptr& failure, const QString& dataFolder);

// How the window shows an error. The program uses the standard error box;
// tests put in one that records the reports.
class ErrorBox {
  public:
    virtual ~ErrorBox() = default;
    virtual void show(QWidget* parent, const ErrorReport& report) = 0;
};

// The standard error box: error icon, the program's title as caption, wide
// enough for the caption; the system's words behind "Show Details".
class MessageErrorBox final : public ErrorBox {
  public:
    void show(QWidget* parent, const ErrorReport& report) override;
};
