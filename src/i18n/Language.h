#pragma once

#include <QList>
#include <QString>

// The language flag "l": "c" is Simplified Chinese, "e" English. Most texts test for "c"
// (Chinese when equal, English otherwise); the magnifier, the keyboard window and the search
// window test for "e" (English when equal, Chinese otherwise). Windows ask here; none compares
// the flag by itself.
namespace lang {

inline const QString chineseFlag = QStringLiteral("c");
inline const QString englishFlag = QStringLiteral("e");

// The "c" rule.
inline bool chineseByC(const QString& flag) {
    return flag == chineseFlag;
}
// The "e" rule.
inline bool chineseByE(const QString& flag) {
    return flag != englishFlag;
}
// Picks a text by the "c" rule or the "e" rule.
inline QString pickC(const QString& flag, const QString& zh, const QString& en) {
    return chineseByC(flag) ? zh : en;
}
inline QString pickE(const QString& flag, const QString& zh, const QString& en) {
    return chineseByE(flag) ? zh : en;
}
// The title of an ordinary message.
inline QString tipsTitle(const QString& flag) {
    return pickC(flag, QStringLiteral("系统提示"), QStringLiteral("Tips"));
}

// One row of a caption table: the object name of a control and its two texts.
struct Caption {
    QString name;
    QString zh;
    QString en;
    QString text(bool chinese) const { return chinese ? zh : en; }
};

// Menu items of the main window (without the browsing items), then the browsing items.
const QList<Caption>& mainMenuCaptions();
const QList<Caption>& browsingCaptions();
// The window caption a switch writes.
const Caption& mainWindowCaption();
// Captions and tooltips of the four picture buttons, and Label1.
const QList<Caption>& buttonCaptions();
const QList<Caption>& buttonTooltips();
const Caption& headingCaption();
// The preview line before the list is fetched.
const Caption& placeholderText();
// Scrolling text ("点此来信：" + mail address) and its tooltip.
QString scrollingText(bool chinese, const QString& mailAddress);
const Caption& scrollingTooltip();
// The magnifier window while it is open.
const QList<Caption>& magnifierCaptions();

// "您的系统共有 N 种字体" / "There're N in your system".
QString countText(bool chinese, int count);
// True when text is the count text for count in either language.
bool isCountText(const QString& text, int count);
// The count of the window that finds fonts for a text: "共有 N 种字体符合" / "N fonts match".
QString matchCountText(bool chinese, int count);

} // namespace lang
