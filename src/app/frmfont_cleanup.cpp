// The main window's commands that keep the font list clean: disabling a font without deleting
// it, the disabled fonts, and fonts installed twice.
#include "app/frmfont.h"
#include "i18n/Language.h"
#include "install/DeleteQuestion.h"
#include "install/DisabledFontsWindow.h"
#include "install/DuplicateFontsWindow.h"
#include "platform/Dialogs.h"
#include "platform/FontSystem.h"

void frmfont::disableFont_Click() {
    const QString family = selectedFont();
    if (family.isEmpty())
        return;
    const QString flag = language();
    const bool zh = lang::chineseByC(flag);
    // Named as the list shows it; the family behind the entry is what is disabled.
    const QString name = deletequestion::quoted(zh, selectedFontName());
    const QString title = lang::tipsTitle(flag);
    const QString question =
        zh ? QStringLiteral("确实要停用字体") + name +
                 QStringLiteral("吗？\n字体文件不会被删除，但每个程序在下次启动时都不再列出它。"
                                "您随时可以在“已停用的字体...”中重新启用它。")
           : QStringLiteral("Do you really want to disable the font ") + name +
                 QStringLiteral("?\nIts files are not deleted, but every program stops listing "
                                "it when it next starts. You can enable it again at any time "
                                "under \"Disabled Fonts...\".");
    if (platform_.dialogs.message(this, question, title, Dialogs::Icon::Question,
                                  Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    switch (platform_.fonts.disableFamily(family)) {
    case FontSystem::Result::Done:
        // The list shows what the font table holds now: the family is gone from it.
        ref_Click();
        return;
    case FontSystem::Result::Refused:
        platform_.dialogs.message(
            this,
            zh ? QStringLiteral("字体") + name +
                     QStringLiteral("是显示本程序界面的字体，不能停用。")
               : QStringLiteral("The font ") + name +
                     QStringLiteral(" draws this program's interface and cannot be disabled."),
            title, Dialogs::Icon::Warning);
        return;
    default:
        platform_.dialogs.message(
            this,
            zh ? QStringLiteral("无法停用字体") + name + QStringLiteral("：规则文件") +
                     platform_.fonts.disabledFamiliesFile() +
                     QStringLiteral("无法写入（它所在的文件夹不可写、它是链接或不是普通文件，"
                                    "或者磁盘已满）。字体仍然保留在列表中。")
               : QStringLiteral("The font ") + name +
                     QStringLiteral(" could not be disabled: the rule file ") +
                     platform_.fonts.disabledFamiliesFile() +
                     QStringLiteral(" cannot be written (its folder is not writable, it is a "
                                    "link or not a regular file, or the disk is full). The font "
                                    "stays listed."),
            title, Dialogs::Icon::Warning);
        return;
    }
}

void frmfont::disabledFonts_Click() {
    if (!disabledFonts_ || disabledFonts_->unloaded()) {
        disabledFonts_ = new DisabledFontsWindow(*this);
        connect(disabledFonts_, &DisabledFontsWindow::fontsChanged, this, &frmfont::ref_Click);
    }
    showInstead(disabledFonts_);
}

void frmfont::findDuplicates_Click() {
    if (!duplicateFonts_ || duplicateFonts_->unloaded()) {
        duplicateFonts_ = new DuplicateFontsWindow(*this);
        connect(duplicateFonts_, &DuplicateFontsWindow::fontsChanged, this, &frmfont::ref_Click);
    } else {
        duplicateFonts_->refill();
    }
    showInstead(duplicateFonts_);
}
