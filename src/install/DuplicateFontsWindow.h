#pragma once

#include "platform/FontSystem.h"

#include <QWidget>

class QLabel;
class QTreeWidget;
class PictureButton;
class MainView;

// "重复字体": each family and style installed from more than one file, with every copy's path,
// version and size, which copy the font table uses and which copies are identical. A copy in
// the user's fonts folder can be deleted to the trash. It stands in for the main window while
// it is open; "返回" brings the main window back and unloads this one.
class DuplicateFontsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit DuplicateFontsWindow(MainView& main);

    bool unloaded() const { return unloaded_; }

    QLabel* heading;
    QTreeWidget* duplicateTree; // a group per family and style, a row per copy
    PictureButton* deleteButton;
    PictureButton* backButton;

    // Looks for duplicates afresh.
    void refill();
    const QList<FontSystem::DuplicateGroup>& groups() const { return groups_; }

public slots:
    // "删除": the selected copy goes to the trash after the same question as deleting a font.
    void delete_Click();
    void back_Click();

signals:
    // The installed fonts as the font table lists them have changed.
    void fontsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The selected copy and its group; nothing when a group or nothing is selected.
    std::pair<const FontSystem::DuplicateGroup*, const FontSystem::FontCopy*> selected() const;
    void updateDeleteButton();

    MainView& main_;
    bool chinese_;
    bool unloaded_ = false;
    QList<FontSystem::DuplicateGroup> groups_;
};
