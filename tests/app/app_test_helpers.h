#pragma once

#include "app/droplistmodel.h"
#include "app/droplistview.h"
#include "app/dropunit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include <functional>
#include <initializer_list>
#include <utility>

// Records what the window would show in its error box.
class CapturingErrorBox final : public ErrorBox {
  public:
    void show(QWidget*, const ErrorReport& report) override {
        messages.append(report.message);
        reports.append(report);
        if (onShow)
            onShow();
    }
    std::function<void()> onShow; // what a user would see while the box is up
    QStringList messages;
    QList<ErrorReport> reports;
};

// Keeps the settings the window remembers away from the user's own.
inline void isolateSettings() {
    static QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
}

// The control of `form` named `name`; the test ends if there is none.
template <class T> T* ctl(const QWidget& form, const char* name) {
    T* control = form.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr)
        qFatal("no control %s of the expected kind", name);
    return control;
}

inline DropListModel* dropModel(const QWidget& form) {
    return qobject_cast<DropListModel*>(ctl<QAbstractItemView>(form, "DropList")->model());
}

// A data directory in a fresh temporary folder that is the current directory
// while the object lives. Files are written byte for byte.
class DataFolder {
  public:
    explicit DataFolder(std::initializer_list<std::pair<QString, QByteArray>> files)
        : previous_(QDir::currentPath()) {
        for (const auto& [path, bytes] : files)
            write(path, bytes);
        QDir::setCurrent(dir_.path());
    }
    ~DataFolder() { QDir::setCurrent(previous_); }
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    void write(const QString& path, const QByteArray& bytes) const {
        const QString full = dir_.filePath(path);
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void remove(const QString& path) const { QVERIFY(QFile::remove(dir_.filePath(path))); }
    QString path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    QString previous_;
};

// The current directory changed to `path` while the object lives.
class InDirectory {
  public:
    explicit InDirectory(const QString& path) : previous_(QDir::currentPath()) {
        QDir::setCurrent(path);
    }
    ~InDirectory() { QDir::setCurrent(previous_); }
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;

  private:
    QString previous_;
};

// Waits until the search the window runs has ended and its answer shows.
inline void waitForSearch(const TForm1& form) {
    QTRY_VERIFY_WITH_TIMEOUT(!form.searching(), 20000);
}

// The entries of a combo box's list.
inline QStringList comboItems(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

// The entries of the result list, as shown.
inline QStringList shownEntries(const TForm1& form) {
    QStringList entries;
    const DropListModel* model = dropModel(form);
    for (int row = 0; row < model->rowCount(); ++row)
        entries.append(model->data(model->index(row)).toString());
    return entries;
}
