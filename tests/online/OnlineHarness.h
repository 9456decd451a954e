#pragma once

#include "FakePlatform.h"
#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"
#include "app/frmfont.h"
#include "app/settings/CodePage.h"
#include "app/settings/IniFile.h"
#include "online/OnlineServices.h"
#include "online/frminfor.h"

#include <QFile>
#include <memory>

// A started main window in a program folder of its own, with fake desktop seams, its end
// counted instead of carried out, and the update check pointed at a loopback server.
struct OnlineHarness {
    explicit OnlineHarness(bool autoCheck = false) : folder(testenv::newProgramFolder()) {
        set("Update", "auto", autoCheck ? QStringLiteral("1") : QStringLiteral("0"));
        window = std::make_unique<frmfont>(p.platform(), folder);
        window->endProgram = [this] { ++ends; };
        window->anotherInstanceRunning = [] { return false; };
        window->Form_Load();
        window->show();
        online().updateAddress = server.url(QStringLiteral("/vlfonts/update.ini"));
        online().fetch.setTimeLimit(3000);
        window->client = true;
    }

    frmfont& w() { return *window; }
    OnlineServices& online() { return *window->online(); }
    frminfor& board() { return online().board(); }

    void serve(const QByteArray& descriptor) {
        server.on(QStringLiteral("/vlfonts/update.ini"),
                  LoopbackHttpServer::Response::text(descriptor));
    }
    void serve(const LoopbackHttpServer::Response& response) {
        server.on(QStringLiteral("/vlfonts/update.ini"), response);
    }

    void set(const char* section, const char* key, const QString& value) {
        mfncWriteIni(QString::fromUtf8(section), QString::fromUtf8(key), value, config());
    }
    QString get(const char* section, const char* key) const {
        return mfncGetFromIni(QString::fromUtf8(section), QString::fromUtf8(key), config());
    }
    QString config() const { return folder + QStringLiteral("/config.ini"); }
    QString descriptor() const { return folder + QStringLiteral("/update.ini"); }
    QString records() const { return folder + QStringLiteral("/BBS.vlf"); }
    QByteArray bytes(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    LoopbackHttpServer server;
    FakePlatform p;
    QString folder;
    std::unique_ptr<frmfont> window;
    int ends = 0;
};

// A descriptor as the maker's server sends it: GB18030 text with CR LF line ends.
inline QByteArray gbk(const QString& text) {
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return codepage::encode(crlf);
}
