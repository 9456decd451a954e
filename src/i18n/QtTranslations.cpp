#include "i18n/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lang {

void useQtTranslations(bool chinese) {
    // One translator for the run, loaded on first use; installing it twice is harmless.
    static QTranslator* translator = nullptr;
    static bool loaded = false;
    if (!translator) {
        translator = new QTranslator(QCoreApplication::instance());
        loaded = translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
                                  QStringLiteral("_"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    if (!loaded)
        return;
    if (chinese)
        QCoreApplication::installTranslator(translator);
    else
        QCoreApplication::removeTranslator(translator);
}

} // namespace lang
