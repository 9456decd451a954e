// The portal's request/response and session conversations, against a portal on the test's bus.
#include "FakePortal.h"
#include "platform/DesktopSession.h"
#include "platform/portal/PortalRequest.h"
#include "platform/portal/PortalSession.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString shortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
}

TEST(DesktopSession, WaylandClientsAndXWaylandServersAreToldApart) {
    using desktopsession::decide;
    EXPECT_EQ(decide(false, false, false), DesktopSession::X11);
    EXPECT_EQ(decide(true, true, false), DesktopSession::WaylandNative);
    // An X11 client inside a Wayland session, whether or not its server shows the extension.
    EXPECT_EQ(decide(true, false, false), DesktopSession::XWayland);
    EXPECT_EQ(decide(false, false, true), DesktopSession::XWayland);
    // This suite runs on Xvfb with no Wayland session around it.
    EXPECT_FALSE(desktopsession::xServerIsXWayland());
    EXPECT_EQ(desktopsession::current(), DesktopSession::X11);
}

TEST(PortalRequest, AnswerArrivesThroughTheRequestsResponseAndOpenRequestsAreClosed) {
    FakePortal portal;
    ASSERT_TRUE(portal.registered());
    portal.onRequest(shortcuts, QStringLiteral("BindShortcuts"), [](const FakePortal::Call&) {
        return FakePortal::Answer{0, {{QStringLiteral("answer"), 42}}};
    });
    const QDBusConnection bus = QDBusConnection::sessionBus();

    PortalRequest request(bus);
    QSignalSpy finished(&request, &PortalRequest::finished);
    request.call(shortcuts, QStringLiteral("BindShortcuts"),
                 {QVariant::fromValue(QDBusObjectPath("/s")), QString()},
                 {{QStringLiteral("mine"), true}});
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.at(0).at(0).toUInt(), uint(portal::Success));
    EXPECT_EQ(finished.at(0).at(1).toMap().value(QStringLiteral("answer")).toInt(), 42);
    const FakePortal::Call call = portal.callsOf(QStringLiteral("BindShortcuts")).value(0);
    // The options go last, with the handle token the request's path is made of.
    EXPECT_TRUE(call.options.value(QStringLiteral("mine")).toBool());
    const QString token = call.options.value(QStringLiteral("handle_token")).toString();
    EXPECT_EQ(request.handle(), portal::requestPath(bus, token));
    EXPECT_EQ(call.requestHandle, request.handle());
    EXPECT_FALSE(request.pending());

    // A method the portal lacks answers CallFailed with the bus's error.
    PortalRequest missing(bus);
    QSignalSpy missingDone(&missing, &PortalRequest::finished);
    missing.call(QStringLiteral("org.freedesktop.portal.Nothing"), QStringLiteral("Do"), {});
    ASSERT_TRUE(missingDone.wait(5000));
    EXPECT_EQ(missingDone.at(0).at(0).toUInt(), uint(portal::CallFailed));
    EXPECT_EQ(missing.errorName(), QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"));

    // A question the user has not answered yet is closed when its asker goes away.
    portal.onRequest(shortcuts, QStringLiteral("ListShortcuts"),
                     [](const FakePortal::Call&) { return std::nullopt; });
    QString openHandle;
    {
        PortalRequest open(bus);
        QSignalSpy openDone(&open, &PortalRequest::finished);
        open.call(shortcuts, QStringLiteral("ListShortcuts"), {});
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !portal.callsOf(QStringLiteral("ListShortcuts")).isEmpty(); }, 5000));
        openHandle = open.handle();
        QTest::qWait(50);
        EXPECT_TRUE(openDone.isEmpty());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.closedRequests.contains(openHandle); }, 5000));

    // No portal on the bus at all.
    portal.connection().unregisterService(portal::service);
    PortalRequest none(bus);
    QSignalSpy noneDone(&none, &PortalRequest::finished);
    none.call(shortcuts, QStringLiteral("BindShortcuts"), {});
    ASSERT_TRUE(noneDone.wait(5000));
    EXPECT_EQ(noneDone.at(0).at(0).toUInt(), uint(portal::CallFailed));
}

TEST(PortalSession, FixedTokenNamesTheSessionAndEitherSideMayCloseIt) {
    FakePortal portal;
    ASSERT_TRUE(portal.registered());
    portal.acceptSessions(shortcuts);
    const QDBusConnection bus = QDBusConnection::sessionBus();

    QString firstHandle;
    {
        PortalSession session(bus);
        QSignalSpy created(&session, &PortalSession::created);
        session.create(shortcuts, {{QStringLiteral("extra"), 1}}, QStringLiteral("vlfonts_fixed"));
        ASSERT_TRUE(created.wait(5000));
        firstHandle = session.handle();
        EXPECT_EQ(firstHandle, portal::sessionPath(bus, QStringLiteral("vlfonts_fixed")));
        EXPECT_EQ(portal.callsOf(QStringLiteral("CreateSession"))
                      .value(0)
                      .options.value(QStringLiteral("extra"))
                      .toInt(),
                  1);
        EXPECT_TRUE(session.isOpen());
    }
    // Gone with its owner.
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.closedSessions.contains(firstHandle); }, 5000));

    PortalSession session(bus);
    QSignalSpy created(&session, &PortalSession::created);
    QSignalSpy closed(&session, &PortalSession::closed);
    session.create(shortcuts, {});
    ASSERT_TRUE(created.wait(5000));
    portal.closeSession(session.handle());
    ASSERT_TRUE(closed.wait(5000));
    EXPECT_FALSE(session.isOpen());

    // Refused: failed() with the portal's code.
    portal.onRequest(shortcuts, QStringLiteral("CreateSession"), [](const FakePortal::Call&) {
        return FakePortal::Answer{1, {}};
    });
    PortalSession refused(bus);
    QSignalSpy failed(&refused, &PortalSession::failed);
    refused.create(shortcuts, {});
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_EQ(failed.at(0).at(0).toUInt(), uint(portal::Cancelled));
    EXPECT_FALSE(refused.isOpen());
}
