// The main window's font list, preview line and automatic browsing.
#include "app/ColorCode.h"
#include "app/controls/FontListView.h"
#include "app/controls/MovingText.h"
#include "app/controls/PictureButton.h"
#include "app/controls/PlainToolTip.h"
#include "app/frmfont.h"
#include "app/settings/NumberForm.h"
#include "catalogue/BrowseStep.h"
#include "catalogue/FontListing.h"
#include "catalogue/PreviewText.h"
#include "i18n/Language.h"
#include "platform/Dialogs.h"
#include "platform/FontSystem.h"

#include <QLabel>

void frmfont::fillFontList() {
    familyNames_ = platform_.fonts.familyNames();
    relistInLanguage();
    QSignalBlocker blocker(List1);
    List1->setCurrentRow(-1);
}

void frmfont::relistInLanguage() {
    const QString selected = selectedFont();
    QList<listing::Entry> listed = listing::entries(familyNames_, lang::chineseByC(language()));
    // Counts and positions are 16-bit in the designed list.
    if (listed.size() > 32767)
        listed.resize(32767);
    QStringList shown;
    shown.reserve(listed.size());
    listedFamilies_.clear();
    listedFamilies_.reserve(listed.size());
    for (const listing::Entry& entry : listed) {
        shown.append(entry.shown);
        listedFamilies_.append(entry.family);
    }
    QSignalBlocker blocker(List1);
    List1->setUpdatesEnabled(false);
    List1->setEntries(shown);
    // The same family stays selected under its name in the other language. Only a click, a key
    // or browsing selects a font: the keyboard focus arriving on the list selects none.
    List1->setCurrentRow(selected.isEmpty() ? -1 : int(listedFamilies_.indexOf(selected)));
    List1->setUpdatesEnabled(true);
}

void frmfont::Timerload_Timer() {
    Timerload.stop();
    fillFontList();
}

void frmfont::setFontAvailability(bool fontSelected) {
    for (QAction* item : {infor, ztxx, jwdy, delfont, delcfont, disableFont})
        item->setEnabled(fontSelected);
    ref->setEnabled(true);
}

void frmfont::setPreviewText(const QString& text) {
    Label2->setText(text);
    Label6->setText(text);
}

void frmfont::Command1_Click() {
    List1->show();
    List2->hide();
    Timer1.start();
    const bool chinese = lang::chineseByC(language());
    setPreviewText(lang::countText(chinese, List1->count()));
    Label5->setVisible(chinese);
    setFontAvailability(false);
    zdll->setEnabled(true);
    const QString tip =
        chinese ? QStringLiteral("当前系统内字体列表") : QStringLiteral("Font List in this system");
    List1->setToolTip(tip);
    Command1->hide();
    Command->show();
    pd->setText(QStringLiteral("y"));
    List1->setFocus();
    List1->setCurrentRow(-1);
}

void frmfont::Timer1_Timer() {
    // Widen by 20 twips a tick, from 500 to 3380 twips.
    hintWidthTwips_ += 20;
    Label5->resize(hintWidthTwips_ / 15, Label5->height());
    if (hintWidthTwips_ == 3380)
        Timer1.stop();
}

void frmfont::ref_Click() {
    refreshFontList(false);
}

void frmfont::refreshFontList(bool keepSelection) {
    platform_.fonts.rescan();
    // Before the list is first filled, its filling reads the font table as it is now.
    if (Timerload.isActive())
        return;
    const QString caption = Label2->text();
    const int before = List1->count();
    if (keepSelection) {
        familyNames_ = platform_.fonts.familyNames();
        relistInLanguage();
    } else {
        fillFontList();
    }
    if (lang::isCountText(caption, before))
        setPreviewText(lang::countText(lang::chineseByC(language()), List1->count()));
    setFontAvailability(List1->currentRow() >= 0);
}

void frmfont::List1_Click() {
    const QString family = selectedFont();
    Label2->setFamily(family);
    Label6->setFamily(family);
    setPreviewSize(presize);
    setFontAvailability(true);
}

// Preview settings ----------------------------------------------------------------------------

void frmfont::storePreview(const QString& key, const QString& value) {
    if (mnupresave->isChecked())
        writeConfig(QStringLiteral("Preview"), key, value);
}

void frmfont::setPreviewSize(std::int16_t points) {
    // A stored size of 0 (or none) shows the designed 12 points.
    const int shown = points > 0 ? points : 12;
    Label2->setPointSize(shown);
    Label6->setPointSize(shown);
}

void frmfont::setPreviewColor(double code) {
    precolor = code;
    Label2->setColor(colorcode::toColor(numberform::toInt32(code)));
}

void frmfont::choosePreviewSize(std::int16_t points) {
    presize = points;
    setPreviewSize(presize);
    storePreview(QStringLiteral("size"), numberform::text(presize));
}

void frmfont::ssmall_Click() {
    choosePreviewSize(10);
}
void frmfont::smid_Click() {
    choosePreviewSize(12);
}
void frmfont::sbig_Click() {
    choosePreviewSize(14);
}
void frmfont::cd_Click() {
    choosePreviewSize(18);
}

void frmfont::choosePreviewColor(double code) {
    setPreviewColor(code);
    storePreview(QStringLiteral("color"), numberform::text(static_cast<long long>(precolor)));
}

void frmfont::fcblack_Click() {
    choosePreviewColor(colorcode::buttonText);
}
void frmfont::fcred_Click() {
    choosePreviewColor(255);
}
void frmfont::fcgreen_Click() {
    choosePreviewColor(65280);
}
void frmfont::fcblue_Click() {
    choosePreviewColor(16711680);
}
void frmfont::fcyellow_Click() {
    choosePreviewColor(65535);
}
void frmfont::fcgrey_Click() {
    choosePreviewColor(8421504);
}
void frmfont::fczi_Click() {
    choosePreviewColor(16744576);
}

void frmfont::zdy_Click() {
    const auto chosen = platform_.dialogs.color(this, Label2->color());
    if (!chosen) // a cancelled dialog keeps the colour
        return;
    choosePreviewColor(colorcode::fromColor(*chosen));
}

void frmfont::toggleEffect(QAction* item, std::int16_t& variable, const QString& key,
                           void (PreviewText::*apply)(bool)) {
    const bool on = !item->isChecked();
    if (apply) {
        (Label2->*apply)(on);
        (Label6->*apply)(on);
    } else {
        Label6->setVisible(on); // the shadow is the second layer itself
    }
    item->setChecked(on);
    variable = on ? 1 : 0;
    storePreview(key, numberform::text(variable));
}

void frmfont::yyz_Click() {
    toggleEffect(yyz, preeffect0, QStringLiteral("effect0"), nullptr);
}
void frmfont::jc_Click() {
    toggleEffect(jc, preeffect1, QStringLiteral("effect1"), &PreviewText::setBold);
}
void frmfont::xt_Click() {
    toggleEffect(xt, preeffect2, QStringLiteral("effect2"), &PreviewText::setItalic);
}
void frmfont::xhx_Click() {
    toggleEffect(xhx, preeffect3, QStringLiteral("effect3"), &PreviewText::setUnderline);
}

void frmfont::ylwzzdy_Click() {
    const bool chinese = lang::chineseByC(language());
    const QString prompt = chinese ? QStringLiteral("请输入需要显示的预览文字：")
                                   : QStringLiteral("Please type in what to preview：");
    const QString title =
        chinese ? QStringLiteral("自定义预览文字") : QStringLiteral("Custom Preview Text...");
    for (;;) {
        const QString answer = platform_.dialogs.input(this, prompt, title, Label2->text());
        if (!answer.isEmpty()) {
            pretext = answer;
            setPreviewText(pretext);
            storePreview(QStringLiteral("text"), pretext);
            return;
        }
        platform_.dialogs.message(
            this, chinese ? QStringLiteral("未输入自定义文字") : QStringLiteral("No type in !"),
            lang::tipsTitle(language()), Dialogs::Icon::Information);
    }
}

void frmfont::mnupresave_Click() {
    if (mnupresave->isChecked()) {
        mnupresave->setChecked(false);
        writeConfig(QStringLiteral("Preview"), QStringLiteral("save"), QStringLiteral("0"));
    } else {
        mnupresave->setChecked(true);
        writeConfig(QStringLiteral("Preview"), QStringLiteral("save"), QStringLiteral("1"));
    }
}

void frmfont::loadSettings() {
    const QString preview = QStringLiteral("Preview");
    presave = configValue(preview, QStringLiteral("save"));
    mnupresave->setChecked(presave == QLatin1String("1"));
    pretext = configValue(preview, QStringLiteral("text"));
    Label6->setText(pretext);
    Label2->setText(pretext);
    setPreviewColor(numberform::leading(configValue(preview, QStringLiteral("color"))));
    presize = numberform::int16(configValue(preview, QStringLiteral("size")));
    setPreviewSize(presize);
    preeffect0 = numberform::int16(configValue(preview, QStringLiteral("effect0")));
    preeffect1 = numberform::int16(configValue(preview, QStringLiteral("effect1")));
    preeffect2 = numberform::int16(configValue(preview, QStringLiteral("effect2")));
    preeffect3 = numberform::int16(configValue(preview, QStringLiteral("effect3")));
    if (preeffect0 == 1)
        yyz_Click();
    if (preeffect1 == 1)
        jc_Click();
    if (preeffect2 == 1)
        xt_Click();
    if (preeffect3 == 1)
        xhx_Click();
    const QString link = QStringLiteral("Link");
    MovingText1->setMsgchar(configValue(link, QStringLiteral("mctext")));
    MovingText1->setCharcolor(numberform::int32(configValue(link, QStringLiteral("mccolor"))));
    setPlainToolTip(MovingText1, configValue(link, QStringLiteral("mctp")));
    mclink = configValue(link, QStringLiteral("mclink"));
    if (numberform::leading(configValue(link, QStringLiteral("mnupop"))) == 0)
        mnupop->setEnabled(false);
    mnupop->setChecked(numberform::leading(configValue(link, QStringLiteral("popwindow"))) == 1);
    mnuautocheck->setChecked(
        numberform::leading(configValue(QStringLiteral("Update"), QStringLiteral("auto"))) == 1);
}

// Automatic browsing ------------------------------------------------------------------------

void frmfont::selectRow(int row) {
    if (row < 0) {
        List1->setCurrentRow(-1);
        List1->clearSelection();
        return;
    }
    List1->setCurrentRow(row); // runs List1_Click
}

void frmfont::down_Click() {
    Timerlistup.stop();
    up->setChecked(false);
    if (down->isChecked()) {
        Timerlistdown.stop();
        down->setChecked(false);
    } else {
        Timerlistdown.start();
        down->setChecked(true);
    }
}

void frmfont::up_Click() {
    Timerlistdown.stop();
    down->setChecked(false);
    if (up->isChecked()) {
        Timerlistup.stop();
        up->setChecked(false);
    } else {
        Timerlistup.start();
        up->setChecked(true);
    }
}

void frmfont::fori_Click() {
    fori->setChecked(!fori->isChecked());
}

void frmfont::os_Click() {
    Timerlistdown.setInterval(1000);
    Timerlistup.setInterval(1000);
}
void frmfont::ts_Click() {
    Timerlistdown.setInterval(2000);
    Timerlistup.setInterval(2000);
}
void frmfont::rs_Click() {
    Timerlistdown.setInterval(3000);
    Timerlistup.setInterval(3000);
}
void frmfont::fs_Click() {
    Timerlistdown.setInterval(4000);
    Timerlistup.setInterval(4000);
}

void frmfont::Timerlistdown_Timer() {
    const browse::Step step = browse::down(List1->currentRow(), List1->count(), fori->isChecked());
    for (int row : step.rows)
        selectRow(row);
    if (step.stop) {
        Timerlistdown.stop();
        down->setChecked(false);
    }
}

void frmfont::Timerlistup_Timer() {
    const browse::Step step = browse::up(List1->currentRow(), List1->count(), fori->isChecked());
    for (int row : step.rows)
        selectRow(row);
    if (step.stop) {
        Timerlistup.stop();
        up->setChecked(false);
    }
}
