// The main window's two interface languages.
#include "app/controls/FontListView.h"
#include "app/controls/MovingText.h"
#include "app/controls/PictureButton.h"
#include "app/controls/PlainToolTip.h"
#include "app/frmfont.h"
#include "catalogue/PreviewText.h"
#include "i18n/Language.h"

#include <QLabel>
#include <QUrl>

namespace {
QString mailAddress() {
    return QUrl(QStringLiteral(VLFONTS_MAIL_URL)).path();
}
} // namespace

void frmfont::applyCaptions(bool chinese) {
    for (const lang::Caption& row : lang::mainMenuCaptions())
        if (QAction* item = action(row.name))
            item->setText(row.text(chinese));
    PictureButton* const buttons[] = {Command1, Command2, Command3, Command};
    for (PictureButton* button : buttons) {
        for (const lang::Caption& row : lang::buttonCaptions())
            if (row.name == button->objectName())
                button->setCaption(row.text(chinese));
        for (const lang::Caption& row : lang::buttonTooltips())
            if (row.name == button->objectName())
                button->setToolTip(row.text(chinese));
    }
    Label1->setText(lang::headingCaption().text(chinese));
}

void frmfont::switchLanguage(const QString& flag) {
    // 1.
    setLanguage(flag);
    const bool chinese = lang::chineseByC(flag);
    // 2. to 4. Only the switch replaces the configured caption with the build text.
    applyCaptions(chinese);
    setWindowTitle(lang::mainWindowCaption().text(chinese));
    // 5.
    if (!Command1->isHidden())
        setPreviewText(lang::placeholderText().text(chinese));
    else
        setPreviewText(lang::countText(chinese, List1->count()));
    // 6.
    if (!chinese)
        Label5->hide();
    // 7.
    MovingText1->setMsgchar(lang::scrollingText(chinese, mailAddress()));
    setPlainToolTip(MovingText1, lang::scrollingTooltip().text(chinese));
    // 8.
    QString tip;
    if (chinese)
        tip = List1->toolTip() == QLatin1String("Ready") ? QStringLiteral("未进行字体获取的操作")
                                                         : QStringLiteral("当前系统内字体列表");
    else
        tip = List1->toolTip() == QStringLiteral("未进行字体获取的操作")
                  ? QStringLiteral("Ready")
                  : QStringLiteral("Font List in this system");
    List1->setToolTip(tip);
    List2->setToolTip(tip);
    // 9.
    if (magnifierOpen())
        emit magnifierCaptionsChanged(chinese);
    // 10.
    for (const lang::Caption& row : lang::browsingCaptions())
        if (QAction* item = action(row.name))
            item->setText(row.text(chinese));
    // 11.
    if (chinese)
        Label5->setVisible(listShown());
    // The families are named, and so ordered, in the reader's language.
    relistInLanguage();
}

void frmfont::jtzw_Click() {
    switchLanguage(lang::chineseFlag);
}

void frmfont::engls_Click() {
    switchLanguage(lang::englishFlag);
}

void frmfont::applyStartupEnglish() {
    // Menus, buttons, Label1 and the browsing items; the list tooltips as the switch writes
    // them. The caption, the preview line and the scrolling text stay as loaded.
    applyCaptions(false);
    for (const lang::Caption& row : lang::browsingCaptions())
        if (QAction* item = action(row.name))
            item->setText(row.text(false));
    List1->setToolTip(QStringLiteral("Ready"));
    List2->setToolTip(QStringLiteral("Ready"));
}
