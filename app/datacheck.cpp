#include "app/datacheck.h"

#include "data/diskfilesource.h"

#include <QThread>

#include <utility>

namespace {

// The disk's files until the check is superseded: then every file it asks
// for ends it, so that a long check does not go on for nothing.
class CancellableSource final : public qdc::FileSource {
  public:
    CancellableSource(qdc::FileSource& files, const std::atomic<bool>& cancel)
        : files_(files), cancel_(cancel) {}
    std::shared_ptr<const qdc::FileLines> load(const std::string& path) override {
        if (cancel_)
            throw qdc::SearchCancelled{};
        return files_.load(path);
    }
    std::shared_ptr<const qdc::FileLines>
    loadReusing(const std::string& path, std::shared_ptr<qdc::FileLines>& spare) override {
        if (cancel_)
            throw qdc::SearchCancelled{};
        return files_.loadReusing(path, spare);
    }

  private:
    qdc::FileSource& files_;
    const std::atomic<bool>& cancel_;
};

} // namespace

DataCheck::DataCheck(QObject* parent) : QObject(parent) {}

DataCheck::~DataCheck() {
    if (current_ != nullptr)
        current_->cancel = true;
    for (QThread* thread : std::as_const(threads_)) {
        thread->wait();
        delete thread;
    }
}

void DataCheck::start(const std::string& folder, char decimalSeparator) {
    if (current_ != nullptr)
        current_->cancel = true;
    auto job = std::make_shared<Job>();
    QThread* thread = QThread::create([job, folder, decimalSeparator] {
        try {
            qdc::DiskFileSource disk(folder);
            CancellableSource files(disk, job->cancel);
            job->report = qdc::checkData(files, qdc::difficultyFolderFiles(disk), decimalSeparator);
        } catch (...) {
            job->failed = true; // cancelled, or out of memory: nothing to tell
        }
    });
    connect(thread, &QThread::finished, this, [this, thread, job] {
        threads_.removeOne(thread);
        thread->deleteLater();
        if (job != current_)
            return; // superseded
        current_.reset();
        if (!job->failed)
            emit checked(job->report);
    });
    current_ = job;
    threads_.append(thread);
    thread->start();
}
