// The main window's ancillary tools: the magnifier and the keyboard-to-fonts window.
#include "app/frmfont.h"
#include "i18n/Language.h"
#include "platform/Dialogs.h"
#include "platform/Screen.h"
#include "tools/Magnifier.h"
#include "tools/frmjwdy.h"
#include "tools/fzfd.h"

void frmfont::fdj_Click() {
    if (magnifierOpen()) {
        platform_.dialogs.message(this, QStringLiteral("放大镜已经启动。"),
                                  QStringLiteral("系统提示"), Dialogs::Icon::Information);
        return;
    }
    // "y" while the desktop is asked for the screen too: one question at a time.
    setMagnifierOpen(true);
    QPointer<frmfont> self(this);
    platform_.screen.open(settingsFolder(), [self](bool readable) {
        if (self)
            self->showMagnifier(readable);
    });
}

void frmfont::showMagnifier(bool screenReadable) {
    const QString flag = language();
    // Where the screen cannot be read (no portal, the user said no, no pointer position, a
    // black stream) the magnifier would only ever show black: say so instead of opening it.
    if (!screenReadable) {
        setMagnifierOpen(false);
        platform_.dialogs.message(
            this,
            lang::pickC(flag, QStringLiteral("此桌面不允许程序读取屏幕内容，放大镜无法使用。"),
                        QStringLiteral("This desktop does not let programs read the screen, "
                                       "so the magnifier cannot work here.")),
            lang::tipsTitle(flag), Dialogs::Icon::Warning);
        return;
    }
    fzfd_ = new fzfd(*this);
    platform_.dialogs.message(
        this,
        lang::pickC(flag,
                    QStringLiteral("放大镜是为查看字体而制作的辅助工具，属于 VLFonts "
                                   "字体管理的一部分。\n版权归 VLFonts 及其作者 Vorlan 所有。"),
                    QStringLiteral("The magnifier is a tool made for looking at fonts; it is "
                                   "part of the VLFonts font manager.\nAll rights belong to "
                                   "VLFonts and its author Vorlan.")),
        lang::tipsTitle(flag), Dialogs::Icon::Information);
    // The notice may have been answered after the magnifier was closed some other way.
    if (!fzfd_)
        return;
    fzfd_->show();
    fzfd_->setHeightTwips(magnifier::openingSizeTwips);
    fzfd_->setWidthTwips(magnifier::openingSizeTwips);
    Timerfdj.start();
}

void frmfont::Timerfdj_Timer() {
    if (!fzfd_) {
        Timerfdj.stop();
        return;
    }
    // The last step stops at the designed size, so that the grown window is exactly square.
    auto grown = [](int twips) {
        return std::min(twips + magnifier::growthStepTwips, magnifier::grownSizeTwips);
    };
    fzfd_->setHeightTwips(grown(fzfd_->heightTwips()));
    fzfd_->setWidthTwips(grown(fzfd_->widthTwips()));
    if (fzfd_->heightTwips() >= magnifier::grownSizeTwips)
        Timerfdj.stop();
}

void frmfont::jwdy_Click() {
    // A new window each time: it takes the font selected now.
    if (frmjwdy_)
        frmjwdy_->deleteLater();
    frmjwdy_ = new frmjwdy(*this);
    frmjwdy_->show();
    frmjwdy_->raise();
    frmjwdy_->activateWindow();
    hide();
    frmjwdy_->Form_Activate();
}
