#pragma once

#include "FakePortal.h"
#include "PipeWireTestDaemon.h"
#include "platform/portal/ScreenCastPortal.h"

#include <QDBusMetaType>
#include <QDBusUnixFileDescriptor>
#include <QImage>
#include <QRgb>
#include <unistd.h>

// The producer's known picture: the colour of the screen's pixel (x, y).
inline QRgb patternPixel(int x, int y) {
    return qRgb(x % 256, y % 256, ((x / 256) * 16 + y / 256) & 0xff);
}

// The grown magnifier's window against the known picture around the pointer at (500, 300):
// each picture pixel from (450, 280) on as a 2 × 2 block, inside the ellipse the window is cut
// to. Counts the pixels looked at and those that differ.
struct MagnifiedPicture {
    int inside = 0;
    int wrong = 0;
};
inline MagnifiedPicture compareWithMagnifiedPicture(const QImage& shown) {
    MagnifiedPicture seen;
    for (int y = 10; y < 150; ++y)
        for (int x = 10; x < 184; ++x) {
            const double dx = (x - 97.0) / 87.0, dy = (y - 80.0) / 70.0;
            if (dx * dx + dy * dy > 1.0)
                continue;
            ++seen.inside;
            seen.wrong += shown.pixel(x, y) != patternPixel(450 + x / 2, 280 + y / 2);
        }
    return seen;
}

// What the desktop offers, and how its portal answers.
struct Offer {
    uint cursorModes = 1 | 2 | 4;
    uint startResponse = 0; // 1: the user says no
    bool answerStart = true;
    QStringList producer;
};

// A desktop whose screen is the producer's known picture, with the pointer at (500, 300).
struct ScreenCastDesktop {
    explicit ScreenCastDesktop(Offer offer = Offer()) : offer_(std::move(offer)) {
        qDBusRegisterMetaType<portal::ScreenCastStreamInfo>();
        qDBusRegisterMetaType<QList<portal::ScreenCastStreamInfo>>();
        node = daemon.startProducer(offer_.producer +
                                    QStringList{"--size", "1280x1024", "--cursor", "500,300"});
        const QString screenCast = portal::screenCastInterface;
        portal.onCall(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"),
                      [this](const FakePortal::Call& call) {
                          return call.message.createReply(QVariant(QVariantMap{
                              {QStringLiteral("AvailableSourceTypes"), uint(1 | 2)},
                              {QStringLiteral("AvailableCursorModes"), offer_.cursorModes},
                              {QStringLiteral("version"), uint(4)}}));
                      });
        portal.acceptSessions(screenCast);
        portal.onRequest(screenCast, QStringLiteral("SelectSources"),
                         [](const FakePortal::Call&) { return FakePortal::Answer{}; });
        portal.onRequest(
            screenCast, QStringLiteral("Start"),
            [this](const FakePortal::Call&) -> std::optional<FakePortal::Answer> {
                if (!offer_.answerStart)
                    return std::nullopt;
                const QList<portal::ScreenCastStreamInfo> streams{
                    {uint(node), {{QStringLiteral("source_type"), uint(1)}}}};
                return FakePortal::Answer{
                    offer_.startResponse,
                    {{QStringLiteral("streams"), QVariant::fromValue(streams)},
                     {QStringLiteral("restore_token"), QStringLiteral("granted-once")}}};
            });
        portal.onCall(screenCast, QStringLiteral("OpenPipeWireRemote"),
                      [this](const FakePortal::Call& call) {
                          const int fd = daemon.connection();
                          const QDBusUnixFileDescriptor remote(fd);
                          ::close(fd);
                          return call.message.createReply(QVariant::fromValue(remote));
                      });
    }

    // Sessions made and not closed again.
    int openSessions() const {
        int open = 0;
        for (const QString& s : portal.sessions)
            open += !portal.closedSessions.contains(s);
        return open;
    }

    Offer offer_;
    PipeWireTestDaemon daemon;
    FakePortal portal;
    int node = -1;
};
