#include "install/DeleteQuestion.h"

namespace deletequestion {

QString quoted(bool chinese, const QString& name) {
    return chinese ? QStringLiteral("“") + name + QStringLiteral("”")
                   : QLatin1Char('"') + name + QLatin1Char('"');
}

QString text(bool chinese, const QString& name, const QStringList& others) {
    if (others.isEmpty())
        return chinese ? QStringLiteral("确实要删除字体") + name + QStringLiteral("吗？")
                       : QStringLiteral("Do you really want to delete the font ") + name +
                             QLatin1Char('?');
    return chinese ? QStringLiteral("字体") + name + QStringLiteral("与字体") +
                         others.join(QStringLiteral("、")) +
                         QStringLiteral("在同一个字体文件中，将一起被删除。确实要删除这些字体吗？")
                   : QStringLiteral("The font ") + name + QStringLiteral(" shares its file with ") +
                         others.join(QStringLiteral(", ")) +
                         QStringLiteral(", which will be deleted with it. Do you really want "
                                        "to delete these fonts?");
}

} // namespace deletequestion
