#include "FakePlatform.h"

#include <QProcess>
#include <QTimer>

bool FakeShell::openAddress(const QString& address) {
    if (!isWebAddress(address)) {
        refusedAddresses.append(address);
        return false;
    }
    openedAddresses.append(address);
    return true;
}

bool FakeShell::openFolder(const QString& path) {
    openedFolders.append(path);
    return true;
}

bool FakeShell::openFile(const QString& path) {
    openedFiles.append(path);
    return startSucceeds;
}

bool FakeShell::startCommand(const QString& commandLine) {
    startedCommands.append(commandLine);
    if (reallyStart)
        return real_.startCommand(commandLine);
    return startSucceeds;
}

bool FakeShell::startProgram(const QString& program, const QStringList& arguments,
                             const QString& workingFolder) {
    startedPrograms.append(Started{program, arguments, workingFolder});
    if (reallyStart)
        return real_.startProgram(program, arguments, workingFolder);
    return startSucceeds;
}

std::optional<QImage> FakeScreen::grab(const QRect& rect) {
    grabs.append(rect);
    if (image.isNull())
        return std::nullopt;
    QImage part(rect.size(), QImage::Format_RGB32);
    part.fill(Qt::black);
    for (int y = 0; y < rect.height(); ++y)
        for (int x = 0; x < rect.width(); ++x) {
            const QPoint p(rect.x() + x, rect.y() + y);
            if (image.rect().contains(p))
                part.setPixel(x, y, image.pixel(p));
        }
    return part;
}

void FakeHotKey::start(const QString& description) {
    descriptions.append(description);
    QTimer::singleShot(0, this, [this] { settle(answer); });
}

std::shared_ptr<const FontCoverage> FakeFontSystem::coverage() {
    if (!coverage_) {
        ++coverageReads;
        FontCoverage::Builder builder(languageCodes);
        for (const QString& family : familyList) {
            builder.startFamily(family);
            const Covers scripted = covers.value(family);
            for (char32_t c : FontCoverage::charactersOf(scripted.characters))
                builder.addCharacter(c);
            for (const QString& code : scripted.languages)
                builder.addLanguage(int(languageCodes.indexOf(code)));
        }
        coverage_ = std::make_shared<const FontCoverage>(builder.build());
    }
    return coverage_;
}
