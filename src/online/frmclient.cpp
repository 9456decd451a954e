#include "online/frmclient.h"

#include "mainview/MainView.h"
#include "online/OnlineWindow.h"
#include "platform/Dialogs.h"
#include "platform/Network.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmclient::frmclient(MainView& main)
    : QWidget(main.mainWidget(), onlineWindowFlags()), main_(main) {
    setObjectName(QStringLiteral("frmclient"));
    setWindowTitle(QStringLiteral("网络连接"));

    Label1 = new QLabel(QStringLiteral("拨号网络列表："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("拨号网络列表"));
    Label1->setBuddy(List1);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAccessibleDescription(QStringLiteral("连接状态"));
    Command1 = new QPushButton(QStringLiteral("连接"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("返回"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label2, 1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);

    Timer1.setInterval(600);
    connect(&Timer1, &QTimer::timeout, this, &frmclient::Timer1_Timer);
    connect(Command1, &QPushButton::clicked, this, &frmclient::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmclient::Command2_Click);
}

void frmclient::Form_Load() {
    List1->clear();
    List1->addItems(main_.platform().network.phoneBook());
    loaded_ = true;
    // The flag is right from the start, so that a check in the first 600 ms does not find the
    // computer off line; the status label waits for the first tick as designed.
    main_.setOnLine(onLine());
    Timer1.start();
}

QString frmclient::selectedName() const {
    const QListWidgetItem* item = List1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void frmclient::Timer1_Timer() {
    Network& network = main_.platform().network;
    const QString selected = selectedName();
    const bool connected =
        !selected.isEmpty() && network.activeConnections().contains(selected, Qt::CaseSensitive);
    Label2->setText(connected ? QStringLiteral("1") : QStringLiteral("0"));
    main_.setOnLine(selected.isEmpty() ? onLine() : Label2->text() != QLatin1String("0"));
}

bool frmclient::onLine() const {
    // The window is never shown, so nothing is selected as a rule: then the system's own idea
    // of being on line decides. When it cannot tell, the check is let through to try; it
    // handles an unreachable server itself.
    return main_.platform().network.online() != Network::Online::No;
}

void frmclient::Command1_Click() {
    const QString selected = selectedName();
    if (selected.isEmpty() || !main_.platform().network.connectTo(selected))
        main_.platform().dialogs.message(this, QStringLiteral("没有拨号链接"),
                                         QString::fromLatin1(programTitle), Dialogs::Icon::None);
}

void frmclient::Command2_Click() {
    Timer1.stop();
    loaded_ = false;
    hide();
}

void frmclient::closeEvent(QCloseEvent* event) {
    event->ignore();
}
