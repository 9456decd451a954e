#pragma once

#include <QString>

// The isolated world every test program runs in: its own home, XDG folders and fontconfig
// configuration, set up before Qt starts. No test touches the real home, fonts or network.
namespace testenv {

// Sets the environment; called by the test main before QApplication exists.
void setUp();
QString root();
// Fonts fontconfig lists as the system's: copies of DejaVu Sans, DejaVu Sans Bold and
// DejaVu Sans Mono.
QString systemFontsFolder();
// $XDG_DATA_HOME/fonts, also listed by the test fontconfig configuration.
QString userFontsFolder();
// Font files fontconfig does not list yet (DejaVu Serif, DejaVu Serif Bold), for installing.
QString spareFontsFolder();
QString spareFont(); // spareFontsFolder()/DejaVuSerif.ttf
// A font made for the tests (support/fonts/make_test_fonts.py): "QuillSans.ttf" (also named
// 黑曜体), "BrookSerif.ttf" (宋韵体), "IvyMono.ttf" (安澜体), "OrchidText.otf" (OpenType CFF),
// "Kamal.ttf" (family "कमल": its three letters only, each a solid block), "Ruam.ttf" (family
// "รวม", likewise).
QString testFont(const QString& fileName);
// A new empty folder under root().
QString newFolder(const QString& prefix);
// A new program folder holding a copy of the installed config.ini (or none).
QString newProgramFolder(bool withConfig = true);
// The build's program folder (build/bin), where vlfonts and update/vlupdate lie.
QString binFolder();
// Writes bytes to a file, creating folders; returns the path.
QString writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

} // namespace testenv
