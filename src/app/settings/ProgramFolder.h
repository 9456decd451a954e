#pragma once

#include <QString>

// Every file of the program folder is reached from the executable's own folder, never from the
// current directory. vlupdate lives in the subfolder "update" and reaches the files above it.
namespace programfolder {

// The folder of the running executable, without a trailing "/".
QString path();
// path() + "/" + name.
QString file(const QString& name);
// The program folder's config.ini; the updater's is one folder up.
QString configIni();

} // namespace programfolder
