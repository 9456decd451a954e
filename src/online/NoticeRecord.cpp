#include "online/NoticeRecord.h"

#include "app/settings/CodePage.h"
#include "app/settings/SettingsFile.h"

#include <QFile>
#include <QLocale>
#include <QStringList>

namespace noticerecord {

namespace {
const QString crlf = QStringLiteral("\r\n");
} // namespace

QString dateText(const QDateTime& when) {
    return QLocale::system().toString(when.date(), QLocale::ShortFormat);
}

QString timeText(const QDateTime& when) {
    // The long time format with seconds, without the time zone Qt adds to it.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return when.time().toString(format.trimmed());
}

QString compose(const QString& date, const QString& time, const Notice& notice) {
    const QStringList lines{date,
                            time,
                            QStringLiteral("最新版本：") + notice.newVersion,
                            QStringLiteral("升级信息：") + notice.status,
                            QStringLiteral("新特性："),
                            notice.newTech,
                            QStringLiteral("作者留言："),
                            notice.authorSay};
    return lines.join(crlf);
}

bool append(const QString& path, const QString& text) {
    if (!settingsfile::mayWrite(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = codepage::encode(text + crlf);
    return file.write(bytes) == bytes.size() && file.flush();
}

bool clear(const QString& path) {
    if (!settingsfile::mayWrite(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write("\r\n") == 2 && file.flush();
}

QString read(const QString& path) {
    return codepage::decode(settingsfile::read(path).bytes);
}

bool isCleared(const QString& text) {
    return text.isEmpty() || text == crlf;
}

} // namespace noticerecord
