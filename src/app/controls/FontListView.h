#pragma once

#include <QListView>
#include <QStringList>

// The font list: a list box over the names it is given, kept as one list of strings. A list
// widget would keep an item object per entry besides (some 140 bytes each, more than a
// megabyte for ten thousand fonts). Rows are told as a list widget tells them: -1 for none.
class FontListView final : public QListView {
    Q_OBJECT
public:
    explicit FontListView(QWidget* parent = nullptr);

    // Replaces every entry; none is current afterwards.
    void setEntries(const QStringList& entries);
    void clear() { setEntries({}); }
    int count() const;
    QString text(int row) const;
    // The first row that shows text; -1 when none does.
    int row(const QString& text) const;

    int currentRow() const;
    // Makes row current and the only one selected; -1 makes none current and none selected.
    // Either stays so when the list gets the keyboard focus.
    void setCurrentRow(int row);

signals:
    void currentRowChanged(int row);

private:
    class Entries;
    Entries* entries_;
};
