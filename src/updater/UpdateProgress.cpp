#include "updater/UpdateProgress.h"

namespace updater {

QString stateText(int state) {
    switch (state) {
    case 1:
        return QStringLiteral("正在查找下载服务器...");
    case 2:
        return QStringLiteral("已经找到下载服务器");
    case 3:
        return QStringLiteral("正在联系下载服务器");
    case 4:
        return QStringLiteral("已经连接到下载服务器");
    case 5:
        return QStringLiteral("正在发送请求...");
    case 6:
        return QStringLiteral("成功发送请求");
    case 7:
        return QStringLiteral("正在接收回应...");
    case 9:
        return QStringLiteral("正在断开连接...");
    case 10:
        return QStringLiteral("已经断开连接");
    default:
        return {};
    }
}

int percent(qint64 received, qint64 total) {
    if (total <= 0 || received <= 0)
        return 0;
    if (received >= total)
        return 100;
    // received * 100 cannot overflow for any file size a disk holds.
    return int(received * 100 / total);
}

QString progressText(qint64 received, qint64 total) {
    return QStringLiteral("已下载 %1 字节 (%2%)").arg(received).arg(percent(received, total));
}

bool isPlainFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

bool isProgramHead(const QByteArray& head) {
    return head.startsWith(QByteArrayLiteral("\x7f"
                                             "ELF")) ||
           head.startsWith("#!");
}

bool isSha256Text(const QString& text) {
    if (text.size() != 64)
        return false;
    for (QChar c : text) {
        const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                         (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                         (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!hex)
            return false;
    }
    return true;
}

bool ProgressThrottle::due(qint64 nowMs) {
    if (last_ >= 0 && nowMs - last_ < intervalMs_)
        return false;
    last_ = nowMs;
    return true;
}

} // namespace updater
