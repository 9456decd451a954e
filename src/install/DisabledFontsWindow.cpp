#include "install/DisabledFontsWindow.h"

#include "app/controls/PictureButton.h"
#include "i18n/Language.h"
#include "install/DeleteQuestion.h"
#include "install/SecondaryWindow.h"
#include "mainview/MainView.h"
#include "platform/Dialogs.h"
#include "platform/FontSystem.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

DisabledFontsWindow::DisabledFontsWindow(MainView& main)
    : QWidget(main.mainWidget(), secondaryWindowFlags()), main_(main),
      chinese_(lang::chineseByC(main.language())) {
    setObjectName(QStringLiteral("DisabledFontsWindow"));
    const auto pick = [this](const char* zh, const char* en) {
        return chinese_ ? QString::fromUtf8(zh) : QString::fromUtf8(en);
    };
    setWindowTitle(pick("已停用的字体", "Disabled Fonts"));

    heading = new QLabel(
        pick("这些字体已停用：文件仍在原处，但每个程序下次启动时都不再列出它们。\n"
             "选中一个字体并按“启用”即可恢复。",
             "These fonts are disabled: their files stay where they are, but no program lists "
             "them when it next starts.\nSelect one and press \"Enable\" to bring it back."),
        this);
    heading->setObjectName(QStringLiteral("heading"));
    heading->setWordWrap(true);
    disabledList = new QListWidget(this);
    disabledList->setObjectName(QStringLiteral("disabledList"));
    disabledList->setAccessibleName(pick("已停用的字体", "Disabled fonts"));
    disabledList->setMinimumSize(4500 / 15, 3000 / 15);
    heading->setBuddy(disabledList);
    enableButton = new PictureButton(pick("启用", "Enable"), this);
    enableButton->setObjectName(QStringLiteral("enableButton"));
    enableButton->setToolTip(
        pick("让选中的字体重新出现在字体列表中", "List the selected font again"));
    backButton = new PictureButton(pick("返回", "Back"), this);
    backButton->setObjectName(QStringLiteral("backButton"));
    backButton->setToolTip(pick("返回主界面", "Back to the main window"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(enableButton);
    buttons->addWidget(backButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(disabledList, 1);
    layout->addLayout(buttons);
    setTabOrder(disabledList, enableButton);
    setTabOrder(enableButton, backButton);

    connect(enableButton, &QPushButton::clicked, this, &DisabledFontsWindow::enable_Click);
    connect(backButton, &QPushButton::clicked, this, &DisabledFontsWindow::back_Click);
    connect(disabledList, &QListWidget::currentRowChanged, this,
            [this](int row) { enableButton->setEnabled(row >= 0); });
    refill();
}

void DisabledFontsWindow::refill() {
    disabledList->clear();
    disabledList->addItems(main_.platform().fonts.disabledFamilies());
    if (disabledList->count() > 0)
        disabledList->setCurrentRow(0);
    enableButton->setEnabled(disabledList->currentRow() >= 0);
}

void DisabledFontsWindow::enable_Click() {
    const QListWidgetItem* item = disabledList->currentItem();
    if (!item)
        return;
    const QString family = item->text();
    FontSystem& fonts = main_.platform().fonts;
    const FontSystem::Result result = fonts.enableFamily(family);
    if (result == FontSystem::Result::Failed) {
        const QString name = deletequestion::quoted(chinese_, family);
        main_.platform().dialogs.message(
            this,
            chinese_ ? QStringLiteral("无法启用字体") + name + QStringLiteral("：规则文件") +
                           fonts.disabledFamiliesFile() +
                           QStringLiteral("无法改写（它所在的文件夹不可写、它是链接或不是普通"
                                          "文件，或者磁盘已满）。字体仍然停用。")
                     : QStringLiteral("The font ") + name +
                           QStringLiteral(" could not be enabled: the rule file ") +
                           fonts.disabledFamiliesFile() +
                           QStringLiteral(" cannot be rewritten (its folder is not writable, it "
                                          "is a link or not a regular file, or the disk is "
                                          "full). The font stays disabled."),
            lang::tipsTitle(main_.language()), Dialogs::Icon::Warning);
        return;
    }
    const int row = disabledList->currentRow();
    refill();
    disabledList->setCurrentRow(std::min(row, disabledList->count() - 1));
    emit fontsChanged();
}

void DisabledFontsWindow::back_Click() {
    main_.showMain();
    unloaded_ = true;
    hide();
    deleteLater();
}

void DisabledFontsWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}
