#include "app/droplistmodel.h"

#include "app/answertext.h"
#include "app/listexport.h"

DropListModel::DropListModel(QObject* parent) : QAbstractListModel(parent) {}

void DropListModel::setAnswer(qdc::MemoryResultList&& answer) {
    beginResetModel();
    list_ = std::move(answer);
    endResetModel();
    emit headingsChanged(names_.decode(list_.nameLabel()), names_.decode(list_.dropLabel()));
}

void DropListModel::refresh() {
    beginResetModel();
    endResetModel();
    emit headingsChanged(names_.decode(list_.nameLabel()), names_.decode(list_.dropLabel()));
}

qdc::SortMode DropListModel::shownMode() const {
    return list_.nameLabel() == "Name" ? qdc::SortMode::NameFirst : qdc::SortMode::ChanceFirst;
}

QString DropListModel::entryText(int row) const {
    return names_.decode(list_.at(row));
}

int DropListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.count();
}

QVariant DropListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.count())
        return {};
    if (role == Qt::DisplayRole)
        return entryText(index.row());
    if (role != OneInRole && role != OverRole && role != Qt::ToolTipRole)
        return {};
    const std::optional<double> chance =
        entryChance(list_.at(index.row()), shownMode(), separator_);
    if (!chance)
        return {};
    if (role == OneInRole)
        return oneInText(*chance);
    if (role == OverRole)
        return *chance > 100;
    return oddsTip(*chance);
}
