#pragma once

#include "app/nametext.h"
#include "results/entry.h"
#include "results/resultlist.h"

#include <QAbstractListModel>

#include <optional>
#include <string>
#include <vector>

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

    explicit DropListModel(QObject* parent = nullptr);

    qdc::ResultList& list() { return list_; }
    const qdc::MemoryResultList& entries() const { return list_; }
    void setNameText(const NameText& names) { names_ = names; }
    void setDecimalSeparator(char separator) { separator_ = separator; }

    // Shows `answer` in place of what the list held.
    void setAnswer(qdc::MemoryResultList&& answer);
    // Shows what the list holds now, and its headings.
    void refresh();
    // The order of the shown entries: the one of the headings.
    qdc::SortMode shownMode() const;
    QString entryText(int row) const;
    char decimalSeparator() const { return separator_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  signals:
    void headingsChanged(const QString& nameCaption, const QString& dropCaption);

  private:
    qdc::MemoryResultList list_;
    NameText names_;
    char separator_ = '.';
};
