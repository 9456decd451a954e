#pragma once

#include "platform/FontCoverage.h"
#include "platform/FontSystem.h"

#include <QString>
#include <QStringList>

// The font information message: name, folder, and the extension and size lines, which carry
// placeholders because neither is determined.
namespace fontinfo {

// Four lines joined by CR LF, no line break at the end.
QString text(bool chinese, const QString& fontName, const QString& folder);
QString title(bool chinese);
// The folder shown for a family: the folder that holds its first file, or fallback (the
// fonts folder) when no file is known.
QString folderOf(const QStringList& familyFiles, const QString& fallback);
// The details below the message: for each file of the family its path, format, styles,
// version, designer, licence and scripts, one block per file.
QString details(bool chinese, const QList<FontSystem::FileDetails>& files);
// Lines for the details on what a family can write: the languages it supports and, when the
// preview text holds characters it lacks, how many and which (the first 20). Empty when the
// coverage does not know the family.
QString coverageDetails(bool chinese, const FontCoverage& coverage, const QString& family,
                        const QString& previewText);

} // namespace fontinfo
