#include "app/controls/FontListView.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>

// The entries, shown and read aloud as they are; none can be edited, dragged or dropped.
class FontListView::Entries final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setEntries(const QStringList& entries) {
        beginResetModel();
        entries_ = entries;
        endResetModel();
    }
    const QStringList& entries() const { return entries_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(entries_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= entries_.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return entries_[index.row()];
        return {};
    }

private:
    QStringList entries_;
};

FontListView::FontListView(QWidget* parent) : QListView(parent), entries_(new Entries(this)) {
    setModel(entries_);
    setEditTriggers(NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { emit currentRowChanged(current.row()); });
}

void FontListView::setEntries(const QStringList& entries) {
    entries_->setEntries(entries);
    setCurrentRow(-1);
}

int FontListView::count() const {
    return entries_->rowCount();
}

QString FontListView::text(int row) const {
    return entries_->entries().value(row);
}

int FontListView::row(const QString& text) const {
    return int(entries_->entries().indexOf(text));
}

int FontListView::currentRow() const {
    return currentIndex().row();
}

void FontListView::setCurrentRow(int row) {
    // Through the view, not its selection model: the view then knows the current entry (or
    // none) was chosen, and keyboard focus arriving later leaves it as it is. Otherwise Qt
    // makes the first entry current on focus whenever none is.
    setCurrentIndex(entries_->index(row));
}
