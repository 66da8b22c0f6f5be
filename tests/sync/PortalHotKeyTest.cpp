// The desktop-wide ON/OFF key through the desktop portal's GlobalShortcuts
// interface, against a portal of the test's own (tests/sync/fake_portal.py)
// on a private bus: it answers every request through the Request object's
// Response signal, as a desktop's portal does, after its user's choice.

#include "sync/dbus/DBusPortalHotKey.h"
#include "tests/fakes/PrivateSessionBus.h"
#include "tests/fakes/ServerProcess.h"
#include "tests/sync/DBusTestSupport.h"

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QElapsedTimer>

#include <functional>
#include <memory>

namespace {

/// Lets the loop run until done() holds or ms have passed.
bool Within(int ms, const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

QString AskPortal(const QDBusConnection& bus, const char* method, const QVariantList& args = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                                     "org.vellacor.test.FakePortal", method);
  call.setArguments(args);
  const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
  return reply.arguments().isEmpty() ? reply.errorMessage() : reply.arguments()[0].toString();
}

TEST(PortalHotKey, TheKeyIsDesktopWideOnlyWhereThePortalOffersItAndTheUserApproves) {
  EnsureCoreApplication();
  const struct {
    const char* mode;
    bool offered, active;
  } cases[] = {{"approve", true, true}, {"deny", true, false}, {"absent", false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    TPrivateSessionBus daemon;
    ASSERT_FALSE(daemon.Address().empty()) << "dbus-daemon did not start";
    TServerProcess portal({"/usr/bin/python3", ZEPHYRA_FAKE_PORTAL, daemon.Address(), c.mode});
    if (portal.FirstLine() != "ready") GTEST_SKIP() << "the fake portal needs python3-dbus and python3-gi";
    const QDBusConnection bus = Connect(daemon.Address(), std::string("key-") + c.mode);
    EXPECT_EQ(TDBusPortalHotKey::Offered(bus, 5000), c.offered);

    auto key = std::make_unique<TDBusPortalHotKey>(bus, 5000);
    int presses = 0, changes = 0;
    key->OnActiveChange = [&] { ++changes; };
    EXPECT_EQ(key->Register([&] { ++presses; }), c.offered);
    Within(c.active ? 5000 : 500, [&] { return key->Active(); });
    EXPECT_EQ(key->Active(), c.active);
    EXPECT_EQ(changes, c.active ? 1 : 0) << "the window hears when the key becomes desktop-wide";
    if (!c.offered) continue;
    EXPECT_EQ(AskPortal(bus, "Bound"), "on-off|Switch the generator ON or OFF|CTRL+Insert");

    AskPortal(bus, "Press", {"on-off"});
    AskPortal(bus, "Press", {"another-programs-key"});
    Within(c.active ? 2000 : 300, [&] { return presses > 0; });
    EXPECT_EQ(presses, c.active ? 1 : 0) << "only our own key, and only once bound";

    key.reset();  // the program ends: the session is closed
    EXPECT_TRUE(Within(2000, [&] { return AskPortal(bus, "Bound").endsWith(" closed"); }));
  }
}

}  // namespace
