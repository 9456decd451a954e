#pragma once

#include <QString>
#include <QStringList>

// Hands addresses and programs to the desktop without waiting for them.
class Shell {
public:
    virtual ~Shell() = default;

    // Only http, https and mailto addresses are handed on; anything else (a local file, a
    // program) is refused and false is returned.
    virtual bool openAddress(const QString& address) = 0;
    // Opens a folder in the desktop's file browser.
    virtual bool openFolder(const QString& path) = 0;
    // Hands a local file to the desktop's handler for its type (xdg-open): a .deb opens in the
    // system's package installer.
    virtual bool openFile(const QString& path) = 0;
    // Starts a command line without a shell, split as splitCommandLine says.
    virtual bool startCommand(const QString& commandLine) = 0;
    // Starts one program with its arguments in a working folder.
    virtual bool startProgram(const QString& program, const QStringList& arguments = {},
                              const QString& workingFolder = {}) = 0;

    // The addresses that may be handed to the desktop.
    static bool isWebAddress(const QString& address);
    // The program and then its arguments of a command line, as the Windows shell reads an
    // unquoted path: a text that names an existing file is that file, spaces and all;
    // otherwise the longest leading part, up to a blank, that names an existing file is the
    // program and the rest holds its arguments; failing that, the text is split at blanks
    // outside quotes.
    static QStringList splitCommandLine(const QString& commandLine);
};
