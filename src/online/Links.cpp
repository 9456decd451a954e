#include "online/Links.h"

namespace links {

QString homeAddress() {
    return QStringLiteral(VLFONTS_HOME_URL);
}

QString mailAddress() {
    return QStringLiteral(VLFONTS_MAIL_URL);
}

QString mailShown() {
    QString address = mailAddress();
    if (address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        address.remove(0, 7);
    const qsizetype query = address.indexOf(QLatin1Char('?'));
    return query < 0 ? address : address.left(query);
}

} // namespace links
