#include "online/frminfor.h"

#include "app/controls/MovingText.h"
#include "app/controls/PictureButton.h"
#include "app/settings/IniFile.h"
#include "mainview/MainView.h"
#include "online/NoticeRecord.h"
#include "online/OnlineServices.h"
#include "online/OnlineWindow.h"
#include "online/UpdateDescriptor.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>

frminfor::frminfor(MainView& main, OnlineServices& services)
    : QWidget(main.mainWidget(), onlineWindowFlags()), main_(main), services_(services) {
    setObjectName(QStringLiteral("frminfor"));
    setWindowTitle(QStringLiteral("公告板"));

    auto* grid = new QGridLayout;
    int row = 0;
    auto pair = [&](QLabel*& caption, const char* captionName, const QString& captionText,
                    QLabel*& value, const char* valueName) {
        caption = new QLabel(captionText, this);
        caption->setObjectName(QLatin1String(captionName));
        value = new QLabel(this);
        value->setObjectName(QLatin1String(valueName));
        value->setWordWrap(true);
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        // A screen reader says the value, labelled by its caption.
        caption->setBuddy(value);
        grid->addWidget(caption, row, 0, Qt::AlignTop);
        grid->addWidget(value, row, 1);
        ++row;
    };
    pair(Label9, "Label9", QStringLiteral("您的版本："), Label10, "Label10");
    pair(Label1, "Label1", QStringLiteral("最新版本："), Label2, "Label2");
    pair(Label3, "Label3", QStringLiteral("升级信息："), Label4, "Label4");
    pair(Label5, "Label5", QStringLiteral("新特性："), Label6, "Label6");
    pair(Label7, "Label7", QStringLiteral("作者留言："), Label8, "Label8");
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 4000 / 15);

    auto button = [this](const char* name, const QString& caption, const QString& tip) {
        auto* made = new PictureButton(caption, this);
        made->setObjectName(QLatin1String(name));
        if (!tip.isEmpty())
            made->setToolTip(tip);
        return made;
    };
    Command5 = button("Command5", QStringLiteral("升级"), {});
    Command5->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    Command5->hide();
    Command4 =
        button("Command4", QStringLiteral(" 查看记录"), QStringLiteral("查看过去的公告信息"));
    Command3 =
        button("Command3", QStringLiteral(" 删除记录"), QStringLiteral("删除过去的公告信息"));
    Command2 = button("Command2", QStringLiteral("返回"), QStringLiteral("返回主界面"));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();

    MovingText2 = new MovingText(this);
    MovingText2->setObjectName(QStringLiteral("MovingText2"));
    MovingText2->setMsgchar(
        QStringLiteral("VLFonts 字体管理 —— 装字体、看字体、找字体，一个窗口全搞定"));
    MovingText2->setAccessibleName(MovingText2->msgchar());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command5);
    buttons->addStretch(1);
    buttons->addWidget(Command4);
    buttons->addWidget(Command3);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(MovingText2);
    layout->addLayout(buttons);

    connect(Command2, &QPushButton::clicked, this, &frminfor::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frminfor::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frminfor::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frminfor::Command5_Click);
}

QString frminfor::recordPath() const {
    return main_.settingsFolder() + QStringLiteral("/BBS.vlf");
}

QString frminfor::descriptorPath() const {
    return main_.settingsFolder() + QStringLiteral("/update.ini");
}

void frminfor::Form_Load() {
    const QString offered = descriptorPath();
    Label10->setText(main_.configValue(QStringLiteral("Main"), QStringLiteral("version")));
    Label2->setText(
        mfncGetFromIni(QStringLiteral("Version"), QStringLiteral("newversion"), offered));
    Label6->setText(mfncGetFromIni(QStringLiteral("BBS"), QStringLiteral("newtech"), offered));
    Label8->setText(mfncGetFromIni(QStringLiteral("BBS"), QStringLiteral("authorsay"), offered));

    const descriptor::VersionTest test = descriptor::versionTest(
        main_.configValue(QStringLiteral("Main"), QStringLiteral("versionnum")),
        mfncGetFromIni(QStringLiteral("Version"), QStringLiteral("newversionnum"), offered));
    vernum = test.vernum;
    newvernum = test.newvernum;
    Label4->setText(test.newer ? QStringLiteral("字体管理有新的版本升级")
                               : QStringLiteral("您安装的已是最新版本"));
    Command5->setVisible(test.newer);
    loaded_ = true;

    if (record) {
        record = false;
        const QDateTime now = QDateTime::currentDateTime();
        const QString composed =
            noticerecord::compose(noticerecord::dateText(now), noticerecord::timeText(now),
                                  {Label2->text(), Label4->text(), Label6->text(), Label8->text()});
        Text1->setPlainText(composed);
        noticerecord::append(recordPath(), composed);
    }
}

void frminfor::unload() {
    hide();
    loaded_ = false;
}

void frminfor::Command2_Click() {
    unload();
    main_.showMain();
    main_.activateMain();
}

void frminfor::Command3_Click() {
    Dialogs& dialogs = main_.platform().dialogs;
    const QString title = QString::fromLatin1(programTitle);
    if (dialogs.message(this, QStringLiteral("真的要删除记录吗？"), QStringLiteral("提示"),
                        Dialogs::Icon::None, Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
        noticerecord::clear(recordPath());
        dialogs.message(this, QStringLiteral("记录已清空"), title, Dialogs::Icon::None);
    } else {
        dialogs.message(this, QStringLiteral("操作已取消"), title, Dialogs::Icon::None);
    }
}

void frminfor::Command4_Click() {
    services_.openRecords();
}

void frminfor::Command5_Click() {
    const QString updateFolder = main_.programFolder() + QStringLiteral("/update");
    const QString updater = updateFolder + QStringLiteral("/vlupdate");
    // vlupdate refuses to run unless it finds start = 1: without it, starting it is pointless.
    if (mfncWriteIni(QStringLiteral("Update"), QStringLiteral("start"), QStringLiteral("1"),
                     main_.configPath()) == 0) {
        main_.platform().dialogs.message(this,
                                         QStringLiteral("无法写入设置文件 ") + main_.configPath() +
                                             QStringLiteral("，无法启动在线升级。"),
                                         QStringLiteral("在线升级"), Dialogs::Icon::Warning);
        return;
    }
    const QFileInfo program(updater);
    if (!program.isFile() || !program.isExecutable() ||
        !main_.platform().shell.startProgram(updater, {}, updateFolder)) {
        // Nothing will reset the flag, and the font manager stays: take the hand-over back.
        main_.writeConfig(QStringLiteral("Update"), QStringLiteral("start"), QStringLiteral("0"));
        main_.platform().dialogs.message(
            this, QStringLiteral("无法启动升级程序 ") + updater + QStringLiteral("，升级终止。"),
            QStringLiteral("终止"), Dialogs::Icon::Warning);
        return;
    }
    // The updater takes over at once: none of the main window's closing steps run.
    main_.endAtOnce();
}

void frminfor::closeEvent(QCloseEvent* event) {
    event->ignore();
}
