#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

// Watches the files the search shown has read, and runs it again once they
// have changed: after a short quiet time, since an editor may write a file in
// several steps. An editor that saves by writing a new file in the old one's
// place ends the watch of that path: the answer of the search run again
// sets what is watched from then on.
class DataWatch final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kQuietMs = 300;

    explicit DataWatch(QObject* parent = nullptr);

    // Watches `paths` (relative to `folder`, as the core names them); when
    // one changes, calls `rerun`. Replaces what was watched before.
    void watch(const QString& folder, const std::vector<std::string>& paths,
               std::function<void()> rerun);
    // Watches nothing until the next watch().
    void stop();
    // The files watched, as the system names them.
    const QStringList& files() const { return files_; }

  private:
    void changed();

    QFileSystemWatcher watcher_;
    QTimer quiet_;
    QStringList files_;
    std::function<void()> rerun_;
};
