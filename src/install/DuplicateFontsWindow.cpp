#include "install/DuplicateFontsWindow.h"

#include "app/controls/PictureButton.h"
#include "i18n/Language.h"
#include "install/DeleteQuestion.h"
#include "install/FontInformation.h"
#include "install/SecondaryWindow.h"
#include "mainview/MainView.h"
#include "platform/Dialogs.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Where a row's copy is: its group in the high half, its place in the group in the low one.
constexpr int copyRole = Qt::UserRole;
} // namespace

DuplicateFontsWindow::DuplicateFontsWindow(MainView& main)
    : QWidget(main.mainWidget(), secondaryWindowFlags()), main_(main),
      chinese_(lang::chineseByC(main.language())) {
    setObjectName(QStringLiteral("DuplicateFontsWindow"));
    const auto pick = [this](const char* zh, const char* en) {
        return chinese_ ? QString::fromUtf8(zh) : QString::fromUtf8(en);
    };
    setWindowTitle(pick("重复字体", "Duplicate Fonts"));

    heading = new QLabel(pick("以下字体的同一样式从不止一个文件安装。标有“使用中”的副本是各程序实际"
                              "使用的；您字体目录中的副本可以删除到回收站。",
                              "These fonts are installed from more than one file. Programs use "
                              "the copy marked \"in use\"; a copy in your fonts folder can be "
                              "deleted to the trash."),
                         this);
    heading->setObjectName(QStringLiteral("heading"));
    heading->setWordWrap(true);
    duplicateTree = new QTreeWidget(this);
    duplicateTree->setObjectName(QStringLiteral("duplicateTree"));
    duplicateTree->setAccessibleName(pick("重复字体", "Duplicate fonts"));
    duplicateTree->setHeaderLabels({pick("字体与文件", "Font and file"), pick("版本", "Version"),
                                    pick("大小", "Size"), pick("说明", "Notes")});
    duplicateTree->setRootIsDecorated(true);
    duplicateTree->setUniformRowHeights(true);
    duplicateTree->setMinimumSize(11400 / 15, 4200 / 15);
    heading->setBuddy(duplicateTree);
    deleteButton = new PictureButton(pick("删除", "Delete"), this);
    deleteButton->setObjectName(QStringLiteral("deleteButton"));
    deleteButton->setToolTip(pick("把选中的副本从您的字体目录删除到回收站",
                                  "Move the selected copy from your fonts "
                                  "folder to the trash"));
    backButton = new PictureButton(pick("返回", "Back"), this);
    backButton->setObjectName(QStringLiteral("backButton"));
    backButton->setToolTip(pick("返回主界面", "Back to the main window"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(deleteButton);
    buttons->addWidget(backButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(duplicateTree, 1);
    layout->addLayout(buttons);
    setTabOrder(duplicateTree, deleteButton);
    setTabOrder(deleteButton, backButton);

    connect(deleteButton, &QPushButton::clicked, this, &DuplicateFontsWindow::delete_Click);
    connect(backButton, &QPushButton::clicked, this, &DuplicateFontsWindow::back_Click);
    connect(duplicateTree, &QTreeWidget::currentItemChanged, this,
            &DuplicateFontsWindow::updateDeleteButton);
    refill();
}

void DuplicateFontsWindow::refill() {
    groups_ = main_.platform().fonts.duplicateFonts();
    const QLocale locale(chinese_ ? QLocale::Chinese : QLocale::English);
    QList<QTreeWidgetItem*> items;
    for (qsizetype g = 0; g < groups_.size(); ++g) {
        const FontSystem::DuplicateGroup& group = groups_[g];
        auto* groupItem = new QTreeWidgetItem(
            {group.style.isEmpty() ? group.family
                                   : group.family + QStringLiteral(" — ") + group.style});
        for (qsizetype c = 0; c < group.copies.size(); ++c) {
            const FontSystem::FontCopy& copy = group.copies[c];
            QStringList notes;
            if (copy.used)
                notes << (chinese_ ? QStringLiteral("使用中") : QStringLiteral("in use"));
            if (copy.sameAs >= 0)
                notes << (chinese_ ? QStringLiteral("与第%1份内容相同")
                                   : QStringLiteral("same contents as copy %1"))
                             .arg(copy.sameAs + 1);
            notes << (copy.removable ? (chinese_ ? QStringLiteral("在您的字体目录中")
                                                 : QStringLiteral("in your fonts folder"))
                                     : (chinese_ ? QStringLiteral("系统字体，不能删除")
                                                 : QStringLiteral("system font, not deletable")));
            QString file = QString::number(c + 1) + QStringLiteral(". ") + copy.path;
            if (copy.index > 0)
                file += QStringLiteral(" #") + QString::number(copy.index);
            auto* row = new QTreeWidgetItem(
                groupItem, {file, copy.version,
                            copy.size >= 0 ? locale.formattedDataSize(copy.size) : QString(),
                            notes.join(chinese_ ? QStringLiteral("，") : QStringLiteral("; "))});
            row->setData(0, copyRole, int(g << 16 | c));
            row->setToolTip(0, copy.path);
        }
        items.append(groupItem);
    }
    duplicateTree->clear();
    if (items.isEmpty())
        items.append(new QTreeWidgetItem({chinese_ ? QStringLiteral("没有找到重复的字体。")
                                                   : QStringLiteral("No duplicate fonts found.")}));
    duplicateTree->addTopLevelItems(items);
    duplicateTree->expandAll();
    duplicateTree->header()->resizeSections(QHeaderView::ResizeToContents);
    updateDeleteButton();
}

std::pair<const FontSystem::DuplicateGroup*, const FontSystem::FontCopy*>
DuplicateFontsWindow::selected() const {
    const QTreeWidgetItem* item = duplicateTree->currentItem();
    if (!item || !item->data(0, copyRole).isValid())
        return {nullptr, nullptr};
    const int place = item->data(0, copyRole).toInt();
    const FontSystem::DuplicateGroup& group = groups_[place >> 16];
    return {&group, &group.copies[place & 0xffff]};
}

void DuplicateFontsWindow::updateDeleteButton() {
    const auto [group, copy] = selected();
    deleteButton->setEnabled(copy && copy->removable);
}

void DuplicateFontsWindow::delete_Click() {
    const auto [group, copy] = selected();
    if (!copy || !copy->removable)
        return;
    // Copied: refilling replaces what the pointers look at.
    const QString family = group->family;
    const QString path = copy->path;
    QStringList others;
    for (const QString& other : copy->families)
        if (other != family)
            others.append(deletequestion::quoted(chinese_, other));
    FontSystem& fonts = main_.platform().fonts;
    QList<FontSystem::FileDetails> details = fonts.familyDetails(family);
    details.removeIf([&path](const FontSystem::FileDetails& file) { return file.path != path; });
    Dialogs& dialogs = main_.platform().dialogs;
    const QString title = lang::tipsTitle(main_.language());
    if (dialogs.messageWithDetails(
            this, deletequestion::text(chinese_, deletequestion::quoted(chinese_, family), others),
            title, fontinfo::details(chinese_, details), Dialogs::Icon::Question,
            Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    if (fonts.removeFile(path) != FontSystem::Result::Done)
        dialogs.message(this,
                        (chinese_ ? QStringLiteral("未能把文件%1删除到回收站。")
                                  : QStringLiteral("The file %1 could not be moved to the trash."))
                            .arg(path),
                        title, Dialogs::Icon::Warning);
    refill();
    emit fontsChanged();
}

void DuplicateFontsWindow::back_Click() {
    main_.showMain();
    unloaded_ = true;
    hide();
    deleteLater();
}

void DuplicateFontsWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}
