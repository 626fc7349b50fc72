#include "app/droplistmodel.h"

#include "app/answertext.h"
#include "app/nametext.h"
#include "results/entry.h"

#include <algorithm>

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
    case PiecesRole: {
        const std::string& text = list_.at(index.row());
        const qdc::EntryParts& parts = list_.parts(index.row());
        const std::size_t at = qdc::plainNameOffset(text, parts);
        const std::size_t size = std::min(parts.plainName().size(), text.size() - at);
        return QStringList{NameText::decode(text.substr(0, at)),
                           NameText::decode(text.substr(at, size)),
                           NameText::decode(text.substr(at + size))};
    }
    case Qt::ToolTipRole:
        return oddsTip(list_.parts(index.row()));
    default:
        return {};
    }
}
