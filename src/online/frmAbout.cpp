#include "online/frmAbout.h"

#include "app/controls/MovingText.h"
#include "app/controls/PictureButton.h"
#include "mainview/MainView.h"
#include "online/Links.h"
#include "online/OnlineServices.h"
#include "online/OnlineWindow.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

frmAbout::frmAbout(MainView& main, OnlineServices& services)
    : QWidget(main.mainWidget(), onlineWindowFlags()), main_(main), services_(services) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于Vorlan字体管理"));

    auto label = [this](const char* name, const QString& text) {
        auto* made = new QLabel(text, this);
        made->setObjectName(QLatin1String(name));
        return made;
    };
    picIcon = label("picIcon", {});
    QPixmap icon = QApplication::windowIcon().pixmap(32, 32);
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32);
    picIcon->setPixmap(icon);
    picIcon->setAccessibleName(QStringLiteral("VLFonts"));
    Label1 = label("Label1", QStringLiteral("Vorlan字体管理"));
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.3);
    Label1->setFont(title);
    Label2 = label("Label2", QStringLiteral("版本：Build0520"));
    Label4 = label("Label4", QStringLiteral("感谢以下朋友在测试中给予我的支持："));
    for (int i = 0; i < 10; ++i)
        pbeta[i] = label(QStringLiteral("pbeta%1").arg(i + 1).toLatin1().constData(), {});
    Label3 = label("Label3", QStringLiteral("作者：Vorlan（VLFonts 字体管理）"));
    bq = label("bq", QStringLiteral("VLFonts 版权所有，保留所有权利。"));

    MovingText1 = new MovingText(this);
    MovingText1->setObjectName(QStringLiteral("MovingText1"));
    MovingText1->setMsgchar(links::mailShown());
    MovingText1->setToolTip(QStringLiteral("给我来信"));
    MovingText1->setAccessibleName(QStringLiteral("给我来信：") + links::mailShown());
    MovingText1->setCursor(Qt::PointingHandCursor);

    Command3 = new PictureButton(QStringLiteral("确定"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setToolTip(QStringLiteral("返回主界面"));
    Command3->setDefault(true);
    // The window's first focus goes to the button: focus on the scrolling text means a click
    // on it, which writes a mail.
    Command3->setFocus();

    auto* heading = new QHBoxLayout;
    heading->addWidget(picIcon);
    auto* names = new QVBoxLayout;
    names->addWidget(Label1);
    names->addWidget(Label2);
    heading->addLayout(names, 1);
    auto* testers = new QGridLayout;
    for (int i = 0; i < 10; ++i)
        testers->addWidget(pbeta[i], i / 5, i % 5);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MovingText1, 1);
    bottom->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(Label4);
    layout->addLayout(testers);
    layout->addWidget(Label3);
    layout->addWidget(bq);
    layout->addLayout(bottom);

    connect(Command3, &QPushButton::clicked, this, &frmAbout::Command3_Click);
    connect(MovingText1, &MovingText::gotFocus, this, &frmAbout::MovingText1_GotFocus);
}

void frmAbout::Form_Load() {
    QApplication::beep();
}

void frmAbout::Command3_Click() {
    main_.showMain();
    main_.activateMain();
    services_.closeAbout();
}

void frmAbout::MovingText1_GotFocus() {
    main_.platform().shell.openAddress(links::mailAddress());
    // Focus left on the text would come back with the window's next activation and write
    // another mail.
    Command3->setFocus(Qt::OtherFocusReason);
}

void frmAbout::closeEvent(QCloseEvent* event) {
    event->ignore();
}
