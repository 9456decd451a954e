#include "install/SearchResults.h"

int SearchResults::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant SearchResults::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return shown_.at(index.row());
    return {};
}

void SearchResults::publish() {
    if (pending_.isEmpty())
        return;
    beginInsertRows({}, count(), count() + static_cast<int>(pending_.size()) - 1);
    shown_.append(pending_);
    pending_.clear();
    endInsertRows();
}

void SearchResults::clear() {
    beginResetModel();
    shown_.clear();
    pending_.clear();
    endResetModel();
}
