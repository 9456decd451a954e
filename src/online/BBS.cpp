#include "online/BBS.h"

#include "mainview/MainView.h"
#include "online/NoticeRecord.h"
#include "online/OnlineServices.h"
#include "online/OnlineWindow.h"
#include "platform/Dialogs.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

BBS::BBS(MainView& main, OnlineServices& services)
    : QWidget(main.mainWidget(), onlineWindowFlags()), main_(main), services_(services) {
    setObjectName(QStringLiteral("BBS"));
    setWindowTitle(QStringLiteral("公告信息"));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("公告信息"));
    Text1->setReadOnly(true); // the file is changed only by clearing it
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setMinimumSize(6000 / 15, 4000 / 15);
    Command1 = new QPushButton(QStringLiteral("返回"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("清空"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1, 1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &BBS::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &BBS::Command2_Click);
}

QString BBS::recordPath() const {
    return main_.settingsFolder() + QStringLiteral("/BBS.vlf");
}

void BBS::showRecords() {
    const QString text = noticerecord::read(recordPath());
    // The file's CR LF line ends show as plain line breaks.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text1->setPlainText(noticerecord::isCleared(text) ? QString() : shown);
}

void BBS::Form_Load() {
    showRecords();
    Command2->setEnabled(!noticerecord::isCleared(noticerecord::read(recordPath())));
}

void BBS::Command1_Click() {
    services_.closeRecords();
}

void BBS::Command2_Click() {
    Dialogs& dialogs = main_.platform().dialogs;
    const QString title = QStringLiteral("系统提示");
    if (dialogs.message(this, QStringLiteral("真的要删除记录吗？"), QStringLiteral("提示"),
                        Dialogs::Icon::None, Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
        noticerecord::clear(recordPath());
        dialogs.message(this, QStringLiteral("记录已清空"), title, Dialogs::Icon::Information);
    } else {
        dialogs.message(this, QStringLiteral("操作已取消"), title, Dialogs::Icon::Information);
    }
    // The button stays as it is; only the text follows the file.
    showRecords();
}

void BBS::closeEvent(QCloseEvent* event) {
    event->ignore();
}
