#pragma once

#include "app/nametext.h"
#include "results/entry.h"
#include "results/resultlist.h"

#include <QAbstractListModel>

#include <string>
#include <vector>

// The result list as the list view shows it. The searches write into the
// core's in-memory list; the view learns of a whole answer at once, when
// refresh() is called after the search (or the command) has ended.
class DropListModel final : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit DropListModel(QObject* parent = nullptr);

    qdc::ResultList& list() { return list_; }
    const qdc::MemoryResultList& entries() const { return list_; }
    void setNameText(const NameText& names) { names_ = names; }

    // Shows what the list holds now, and its headings.
    void refresh();
    // The order of the shown entries: the one of the headings.
    qdc::SortMode shownMode() const;
    QString entryText(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  signals:
    void headingsChanged(const QString& nameCaption, const QString& dropCaption);

  private:
    qdc::MemoryResultList list_;
    NameText names_;
};
