#include "install/setupexe.h"

#include "i18n/Language.h"
#include "install/PathForm.h"
#include "install/SecondaryWindow.h"
#include "mainview/MainView.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

setupexe::setupexe(MainView& main)
    : QWidget(main.mainWidget(), secondaryWindowFlags()), main_(main) {
    setObjectName(QStringLiteral("setupexe"));
    const bool zh = chinese();
    auto pick = [zh](const char* chineseText, const char* englishText) {
        return zh ? QString::fromUtf8(chineseText) : QString::fromUtf8(englishText);
    };
    setWindowTitle(pick("从EXE文件安装", "Setup from EXE"));

    const PathForm form = PathForm::build(
        this, pick("请选择欲安装的EXE文件路径：", "Please Type in EXE files path:"),
        pick("在此输入路径", "Type in path"), {pick("浏览", "Browse"), pick("浏览文件", "Browse")},
        {pick("安装", "Setup"), pick("调用选中的EXE安装字体", "Shell EXE files to setup fonts")},
        {pick("返回", "Back"), pick("返回主界面", "Back")});
    Label1 = form.Label1;
    Text1 = form.Text1;
    Command1 = form.Command1;
    Command2 = form.Command2;
    Command3 = form.Command3;

    connect(Command1, &QPushButton::clicked, this, &setupexe::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &setupexe::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &setupexe::Command3_Click);
}

bool setupexe::chinese() const {
    return lang::chineseByC(main_.language());
}

void setupexe::Command1_Click() {
    const bool zh = chinese();
    // Setup programs on Linux carry no extension, so every file can be chosen too.
    const auto chosen = main_.platform().dialogs.openFile(
        this, zh ? QStringLiteral("请选择要安装的EXE文件") : QStringLiteral("Browse"),
        {QStringLiteral("*.exe (*.exe)"),
         zh ? QStringLiteral("所有文件 (*)") : QStringLiteral("All files (*)")});
    if (chosen && !chosen->isEmpty())
        Text1->setText(*chosen);
}

void setupexe::Command2_Click() {
    const QString flag = main_.language();
    const QString commandLine = Text1->text();
    if (commandLine.isEmpty()) {
        main_.platform().dialogs.message(
            this, lang::pickC(flag, QStringLiteral("未输入路径！"), QStringLiteral("No type in !")),
            lang::tipsTitle(flag), Dialogs::Icon::Information);
        Text1->setFocus();
        return;
    }
    // Started unchanged and not waited for; only a start that does not happen at all is
    // reported, and the window stays usable.
    if (!main_.platform().shell.startCommand(commandLine))
        main_.platform().dialogs.message(
            this,
            lang::pickC(flag, QStringLiteral("无法启动这个程序：\n"),
                        QStringLiteral("The program could not be started:\n")) +
                commandLine,
            lang::tipsTitle(flag), Dialogs::Icon::Warning);
}

void setupexe::Command3_Click() {
    main_.showMain();
    unloaded_ = true;
    hide();
    deleteLater();
}

void setupexe::closeEvent(QCloseEvent* event) {
    event->ignore();
}
