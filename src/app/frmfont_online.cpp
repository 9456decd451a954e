// The main window's online commands: About, links and mail, the update check, the notice board
// and the dial-up window.
#include "app/frmfont.h"

#include "online/Links.h"
#include "online/OnlineServices.h"
#include "online/frmclient.h"
#include "platform/Shell.h"

namespace {
// The online windows are made when first needed, so that a main window used without start-up
// has them too.
OnlineServices& services(frmfont& main, OnlineServices*& slot) {
    if (!slot)
        slot = new OnlineServices(main);
    return *slot;
}
} // namespace

void frmfont::loadDialup() {
    services(*this, online_);
    if (!frmclient_)
        frmclient_ = new frmclient(*this);
    frmclient_->Form_Load();
}

// Command2: the "关于" button.
void frmfont::Command2_Click() {
    aboutme_Click();
}

void frmfont::aboutme_Click() {
    services(*this, online_).openAbout();
}

void frmfont::shellardeno_Click() {
    platform_.shell.openAddress(links::homeAddress());
}

void frmfont::emtome_Click() {
    platform_.shell.openAddress(links::mailAddress());
}

// bugemail: an error report goes to the author's own address.
void frmfont::bugemail_Click() {
    platform_.shell.openAddress(links::mailAddress());
}

void frmfont::mnupop_Click() {
    const bool on = !mnupop->isChecked();
    mnupop->setChecked(on);
    writeConfig(QStringLiteral("Link"), QStringLiteral("popwindow"),
                on ? QStringLiteral("1") : QStringLiteral("0"));
}

// Takes effect at the next start.
void frmfont::mnuautocheck_Click() {
    const bool on = !mnuautocheck->isChecked();
    mnuautocheck->setChecked(on);
    writeConfig(QStringLiteral("Update"), QStringLiteral("auto"),
                on ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmfont::mnucheck_Click() {
    services(*this, online_).check(true);
}

void frmfont::gonggao_Click() {
    services(*this, online_).openBoard();
}

void frmfont::startAutoCheck() {
    Timer2.start();
}

void frmfont::Timer2_Timer() {
    // Once per start, whatever the check finds.
    Timer2.stop();
    services(*this, online_).check(false);
}
