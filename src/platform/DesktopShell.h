#pragma once

#include "platform/Shell.h"

class DesktopShell final : public Shell {
public:
    bool openAddress(const QString& address) override;
    bool openFolder(const QString& path) override;
    bool openFile(const QString& path) override;
    bool startCommand(const QString& commandLine) override;
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder) override;
};
