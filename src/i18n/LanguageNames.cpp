#include "i18n/LanguageNames.h"

#include <QFile>
#include <QHash>

// The table is built into the program's resources, which a static library's user must
// initialise by name.
static void loadResources() {
    Q_INIT_RESOURCE(resources);
}

namespace lang {

namespace {

struct Names {
    QString english;
    QString chinese;
};

// Read once: lines of code, English name and Chinese name apart by tabs; "#" begins a comment.
const QHash<QString, Names>& table() {
    static const QHash<QString, Names> names = [] {
        QHash<QString, Names> read;
        loadResources();
        QFile file(QStringLiteral(":/language-names.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return read;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() == 3)
                read.insert(QString::fromUtf8(fields[0]),
                            {QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2])});
        }
        return read;
    }();
    return names;
}

} // namespace

QString languageName(const QString& code, bool chinese) {
    const auto found = table().constFind(code);
    if (found == table().constEnd())
        return code;
    return chinese ? found->chinese : found->english;
}

QString languageEntry(const QString& code, bool chinese) {
    return languageName(code, chinese) + QLatin1Char(' ') + code;
}

} // namespace lang
