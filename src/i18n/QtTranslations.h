#pragma once

// Qt's own dialogs (the file chooser, the colour chooser, the standard buttons Yes/No/OK/Cancel
// of message and input boxes) speak the interface language: Qt's Chinese translations are
// installed while the interface is Chinese and taken away again for English.
namespace lang {

void useQtTranslations(bool chinese);

} // namespace lang
