#include "app/datawatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

DataWatch::DataWatch(QObject* parent) : QObject(parent) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &quiet_, qOverload<>(&QTimer::start));
    connect(&quiet_, &QTimer::timeout, this, &DataWatch::changed);
}

void DataWatch::watch(const QString& folder, const std::vector<std::string>& paths,
                      std::function<void()> rerun) {
    stop();
    const QDir dir(folder);
    for (const std::string& path : paths) {
        const QString file = dir.filePath(QFile::decodeName(QByteArray::fromStdString(path)));
        if (QFileInfo(file).isFile())
            files_.append(file);
    }
    if (!files_.isEmpty())
        watcher_.addPaths(files_);
    rerun_ = std::move(rerun);
}

void DataWatch::stop() {
    quiet_.stop();
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    files_.clear();
    rerun_ = nullptr;
}

void DataWatch::changed() {
    if (rerun_)
        rerun_();
}
