#include "app/searchrunner.h"

#include "data/diskfilesource.h"
#include "data/recordingfilesource.h"

#include <QThread>

#include <utility>

namespace {

// How long a search runs before the window shows that it is busy: shorter
// ones end before a player would wonder.
constexpr int kBusyAfterMs = 150;

} // namespace

SearchRunner::SearchRunner(QObject* parent) : QObject(parent) {
    busyTimer_.setSingleShot(true);
    busyTimer_.setInterval(kBusyAfterMs);
    connect(&busyTimer_, &QTimer::timeout, this, &SearchRunner::busy);
}

SearchRunner::~SearchRunner() {
    if (current_ != nullptr)
        current_->cancel = true;
    for (QThread* thread : std::as_const(threads_)) {
        thread->wait();
        delete thread;
    }
}

void SearchRunner::start(const std::string& folder, char decimalSeparator, qdc::SortMode mode,
                         Work work, Done done) {
    launch(
        [folder, decimalSeparator, mode, work = std::move(work)](Job& job) {
            job.answer.folder = folder;
            qdc::DiskFileSource disk(folder);
            qdc::RecordingFileSource files(disk, job.answer.paths);
            job.answer.note = work({files, decimalSeparator, mode, &job.cancel}, job.answer.list);
        },
        std::move(done));
}

void SearchRunner::rewrite(qdc::MemoryResultList list, ListWork work, Done done) {
    launch(
        [list = std::move(list), work = std::move(work)](Job& job) mutable {
            job.answer.list = std::move(list);
            work(job.answer.list);
        },
        std::move(done));
}

void SearchRunner::launch(std::function<void(Job&)> body, Done done) {
    cancelRunning();
    auto job = std::make_shared<Job>();
    QThread* thread = QThread::create([job, body = std::move(body)] {
        try {
            body(*job);
        } catch (...) {
            job->answer.failure = std::current_exception();
        }
    });
    connect(thread, &QThread::finished, this, [this, thread, job, done = std::move(done)] {
        threads_.removeOne(thread);
        thread->deleteLater();
        if (job != current_)
            return; // cancelled
        current_.reset();
        busyTimer_.stop();
        done(job->answer);
        emit ended();
    });
    current_ = job;
    threads_.append(thread);
    thread->start();
    busyTimer_.start();
}

void SearchRunner::cancelRunning() {
    if (current_ == nullptr)
        return;
    current_->cancel = true;
    current_.reset();
    busyTimer_.stop();
    emit ended();
}
