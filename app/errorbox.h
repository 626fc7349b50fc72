#pragma once

#include "app/nametext.h"

#include <QString>

#include <exception>
#include <functional>

class QWidget;

// An error as the window tells it: the message, where in the data it arose
// (empty when the core does not know), and the system's own words.
struct ErrorReport {
    QString message;
    QString place;
    QString details;
    // When set, the box offers "Choose data folder…" beside OK, which runs it.
    std::function<void()> chooseFolder = {};
};

// Builds the report of an error raised while working on `dataFolder`.
ErrorReport describeError(const std::exception& error, const NameText& names,
                          const QString& dataFolder);

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
