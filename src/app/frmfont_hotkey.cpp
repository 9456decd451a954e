// Ctrl+Alt+F: the key that brings the main window to the front, and what the user is told when
// the desktop keeps it to the focused program.
#include "app/frmfont.h"
#include "i18n/Language.h"
#include "platform/Dialogs.h"
#include "platform/HotKey.h"

#include <QFile>
#include <QFileInfo>
#include <QShortcut>

namespace {
// Present in the settings folder once the user has been told; its content does not matter.
const QString toldMark = QStringLiteral("hotkey-notice");
} // namespace

void frmfont::registerHotKey() {
    if (hotKeyRegistered_)
        return;
    hotKeyRegistered_ = true;
    // Inside the program the key works whatever the desktop allows.
    auto* inside = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+F")), this);
    inside->setContext(Qt::ApplicationShortcut);
    connect(inside, &QShortcut::activated, this, &frmfont::hotKeyPressed);

    HotKey& key = platform_.hotKey;
    connect(&key, &HotKey::pressed, this, &frmfont::hotKeyPressed);
    connect(&key, &HotKey::reachSettled, this, [this](HotKey::Reach reach) {
        if (reach == HotKey::Reach::ApplicationOnly)
            tellHotKeyWorksOnlyInside();
    });
    // The desktop may show this beside the key in its shortcut settings.
    key.start(lang::pickC(language(), QStringLiteral("显示 VLFonts 主窗口"),
                          QStringLiteral("Show the VLFonts main window")));
}

void frmfont::hotKeyPressed() {
    HotKey::bringToFront(this);
}

void frmfont::tellHotKeyWorksOnlyInside() {
    const QString mark = settingsFolder_ + QLatin1Char('/') + toldMark;
    if (QFileInfo::exists(mark))
        return;
    // Remembered before the message is shown: a second start while it is still open, or a
    // crash behind it, does not tell the user again.
    QFile file(mark);
    if (file.open(QIODevice::WriteOnly))
        file.write("1\n");
    const QString flag = language();
    platform_.dialogs.message(
        this,
        lang::pickC(flag,
                    QStringLiteral("此桌面不允许程序注册全局热键：Ctrl+Alt+F 只在 VLFonts "
                                   "拥有焦点时有效。"),
                    QStringLiteral("This desktop does not let programs register a global hot "
                                   "key: Ctrl+Alt+F works only while VLFonts has the focus.")),
        lang::tipsTitle(flag), Dialogs::Icon::Information);
}
