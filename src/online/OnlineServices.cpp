#include "online/OnlineServices.h"

#include "mainview/MainView.h"
#include "online/BBS.h"
#include "online/UpdateDescriptor.h"
#include "online/frmAbout.h"
#include "online/frminfor.h"
#include "platform/Dialogs.h"

#include <QScopeGuard>

OnlineServices::OnlineServices(MainView& main)
    : QObject(main.mainWidget()), updateAddress(descriptor::updateAddress()), main_(main) {
    setObjectName(QStringLiteral("online"));
}

QString OnlineServices::settingsFile(const char* name) const {
    return main_.settingsFolder() + QLatin1Char('/') + QString::fromLatin1(name);
}

frminfor& OnlineServices::board() {
    if (!board_)
        board_ = new frminfor(main_, *this);
    return *board_;
}

void OnlineServices::openBoard() {
    frminfor& shown = board();
    if (!shown.loaded())
        shown.Form_Load();
    shown.show();
    shown.raise();
    shown.activateWindow();
    main_.hideMain();
}

void OnlineServices::openRecords() {
    if (!records_)
        records_ = new BBS(main_, *this);
    records_->Form_Load();
    records_->show();
    records_->activateWindow();
    board().hide();
}

void OnlineServices::closeRecords() {
    if (records_) {
        records_->hide();
        records_->deleteLater();
        records_ = nullptr;
    }
    board().show();
    board().activateWindow();
}

void OnlineServices::openAbout() {
    if (!about_) {
        about_ = new frmAbout(main_, *this);
        about_->Form_Load();
    }
    about_->show();
    about_->activateWindow();
    main_.hideMain();
}

void OnlineServices::closeAbout() {
    if (about_) {
        about_->hide();
        about_->deleteLater();
        about_ = nullptr;
    }
}

void OnlineServices::check(bool manual) {
    if (checking_)
        return;
    Dialogs& dialogs = main_.platform().dialogs;
    QWidget* const owner = main_.mainWidget();
    const QString stopped = QStringLiteral("终止");
    if (!main_.onLine()) {
        if (manual)
            dialogs.message(owner,
                            QStringLiteral("程序检测到您的计算机没有与网络联通，升级终止。"
                                           "请确认连接后再试。"),
                            stopped, Dialogs::Icon::Information);
        return;
    }

    checking_ = true;
    const auto done = qScopeGuard([this] { checking_ = false; });
    const DescriptorFetch::Result fetched = fetch.fetch(updateAddress);
    // A failed fetch must not replace the descriptor or the settings it carries with an
    // error page or nothing at all; nor may a page that is not a descriptor (a Wi-Fi login
    // page, a proxy's answer), which would empty every remotely managed setting.
    if (!fetched.ok() || !descriptor::isDescriptor(fetched.body)) {
        if (manual)
            dialogs.message(owner, QStringLiteral("无法取得升级信息，升级终止。请稍后再试。"),
                            stopped, Dialogs::Icon::Information);
        return;
    }
    if (!descriptor::storeDescriptor(settingsFile("update.ini"), fetched.body)) {
        if (manual)
            dialogs.message(owner, QStringLiteral("无法保存升级信息，升级终止。"), stopped,
                            Dialogs::Icon::Information);
        return;
    }
    // Armed only now, so that a check that got nothing records nothing.
    board().record = true;
    descriptor::copyDescriptorSettings(settingsFile("update.ini"), main_.configPath());
    dialogs.message(owner, QStringLiteral("程序已经更新了公告信息。"), QStringLiteral("自动更新"),
                    Dialogs::Icon::Information);

    // A board already on the screen would go on showing the old notice: load it afresh.
    if (records_)
        closeRecords();
    if (board().loaded())
        board().unload();
    openBoard();
    if (manual)
        board().record = true;
}
