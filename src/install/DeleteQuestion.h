#pragma once

#include <QString>
#include <QStringList>

// The question asked before a font goes to the trash, wherever the delete starts.
namespace deletequestion {

// A font's name in quotation marks of the reader's language.
QString quoted(bool chinese, const QString& name);
// "确实要删除字体“name”吗？", or, when its file holds other families (already quoted) that go
// with it, the question naming them all.
QString text(bool chinese, const QString& quotedName, const QStringList& quotedOthers);

} // namespace deletequestion
