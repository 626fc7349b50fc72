#pragma once

#include "results/entry.h"
#include "results/resultlist.h"
#include "search/searches.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QThread;

// What a search left: its entries and headings, its note, and the error that
// ended it, if any (the entries are then those found before it), and the
// paths of the files it read or tried to, relative to the data folder it
// read (empty for a search that reads no file).
struct SearchAnswer {
    qdc::MemoryResultList list;
    qdc::SearchNote note;
    std::exception_ptr failure;
    std::string folder;
    std::vector<std::string> paths;
};

// Runs one search at a time on a thread of its own, so that the window keeps
// answering. A new search or the runner's end cancels the running one, whose
// answer is then dropped; the core checks the flag between lines.
class SearchRunner final : public QObject {
    Q_OBJECT
  public:
    using Work = std::function<qdc::SearchNote(const qdc::SearchEnv&, qdc::ResultList&)>;
    using Done = std::function<void(SearchAnswer&)>;

    explicit SearchRunner(QObject* parent = nullptr);
    ~SearchRunner() override;
    SearchRunner(const SearchRunner&) = delete;
    SearchRunner& operator=(const SearchRunner&) = delete;

    // Runs `work` on the files of `folder`; `done` gets the answer on the
    // window's thread.
    void start(const std::string& folder, char decimalSeparator, qdc::SortMode mode, Work work,
               Done done);
    // Runs `work` on `list` as a search that reads no file; `done` gets the
    // list, in the answer, on the window's thread.
    using ListWork = std::function<void(qdc::ResultList&)>;
    void rewrite(qdc::MemoryResultList list, ListWork work, Done done);
    bool running() const { return current_ != nullptr; }
    // Cancels the running search, if any; its answer is dropped.
    void cancelRunning();

  signals:
    // The running search has taken long enough to show that it runs; it
    // ends with `ended`.
    void busy();
    void ended();

  private:
    struct Job {
        std::atomic<bool> cancel{false};
        SearchAnswer answer;
    };

    // Runs `body` on a thread of its own, cancelling the running job.
    void launch(std::function<void(Job&)> body, Done done);

    std::shared_ptr<Job> current_;
    QList<QThread*> threads_;
    QTimer busyTimer_;
};
