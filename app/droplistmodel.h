#pragma once

#include "results/resultlist.h"

#include <QAbstractListModel>

// The result list as the list view shows it. The searches write into lists
// of the core; the view learns of a whole answer at once, when setAnswer()
// or refresh() is called after the search (or the command) has ended.
class DropListModel final : public QAbstractListModel {
    Q_OBJECT
  public:
    // "1 in N" of an entry, shown beside it; empty when its chance gives none.
    static constexpr int OneInRole = Qt::UserRole + 1;
    // Whether an entry's chance is over 100 %.
    static constexpr int OverRole = Qt::UserRole + 2;
    // The entry's text in three pieces: before its name without the
    // difficulty suffix, that name, and after it; the view shortens the
    // middle one when the entry is too wide.
    static constexpr int PiecesRole = Qt::UserRole + 3;
    // The tooltip tells the entry's odds. Every role is taken from the parts
    // the search recorded for the entry.

    explicit DropListModel(QObject* parent = nullptr);

    qdc::MemoryResultList& list() { return list_; }
    const qdc::MemoryResultList& entries() const { return list_; }

    // Shows `answer` in place of what the list held.
    void setAnswer(qdc::MemoryResultList&& answer);
    // Shows what the list holds now, and its headings.
    void refresh();
    QString entryText(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  signals:
    void headingsChanged(const QString& nameCaption, const QString& dropCaption);

  private:
    qdc::MemoryResultList list_;
};
