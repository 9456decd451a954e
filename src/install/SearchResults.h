#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The search window's result list: one full path per match, in the order found, never sorted.
// Matches are collected first and shown in batches (publish), so that a search with thousands
// of matches does not repaint the list for each one.
class SearchResults final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Collects a match; it is shown at the next publish().
    void add(const QString& path) { pending_.append(path); }
    // Shows the matches collected since the last call.
    void publish();
    void clear();

    // Entries shown and collected.
    int total() const { return count() + static_cast<int>(pending_.size()); }
    // Shown entries.
    int count() const { return static_cast<int>(shown_.size()); }
    QString entry(int row) const { return shown_.value(row); }
    QStringList entries() const { return shown_; }

private:
    QStringList shown_;
    QStringList pending_;
};
