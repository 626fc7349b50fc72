#include "app/droplistmodel.h"

#include "app/answertext.h"
#include "app/nametext.h"

DropListModel::DropListModel(QObject* parent) : QAbstractListModel(parent) {}

void DropListModel::setAnswer(qdc::MemoryResultList&& answer) {
    beginResetModel();
    list_ = std::move(answer);
    endResetModel();
    emit headingsChanged(NameText::decode(list_.nameLabel()), NameText::decode(list_.dropLabel()));
}

void DropListModel::refresh() {
    beginResetModel();
    endResetModel();
    emit headingsChanged(NameText::decode(list_.nameLabel()), NameText::decode(list_.dropLabel()));
}

QString DropListModel::entryText(int row) const {
    return NameText::decode(list_.at(row));
}

int DropListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.count();
}

QVariant DropListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return entryText(index.row());
    case OneInRole:
        return oneInText(list_.parts(index.row()));
    case OverRole:
        return overHundred(list_.parts(index.row()));
    case Qt::ToolTipRole:
        return oddsTip(list_.parts(index.row()));
    default:
        return {};
    }
}
