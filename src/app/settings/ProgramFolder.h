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

// The files this user's settings live in. Both programs decide through settingsFolder(), so
// that vlupdate finds the hand-over flag where vlfonts wrote it.
inline const char* const settingsFiles[] = {"config.ini", "update.ini", "BBS.vlf"};

// Where config.ini, update.ini and BBS.vlf of the program in programFolder live: beside the
// program when this user may write them there (the build tree, a portable copy), otherwise in
// $XDG_CONFIG_HOME/vlfonts, created on first use with the program's config.ini copied byte
// for byte as its starting point. On every later call, when the installed [Main] versionnum
// differs from the user's, the user's copy takes the installed version and versionnum.
QString settingsFolder(const QString& programFolder);
// Where vlupdate saves its download: its own folder when this user may write there, otherwise
// $XDG_CACHE_HOME/vlfonts/update, created on first use.
QString downloadFolder(const QString& updaterFolder);
// True when this user may create and replace files in folder, and may replace each of the
// named files that already exist there.
bool userMayWrite(const QString& folder, std::initializer_list<const char*> names = {});

} // namespace programfolder
