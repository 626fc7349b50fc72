#include "app/droplistmodel.h"

DropListModel::DropListModel(QObject* parent) : QAbstractListModel(parent) {}

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
    if (!index.isValid() || index.row() >= list_.count() || role != Qt::DisplayRole)
        return {};
    return entryText(index.row());
}
