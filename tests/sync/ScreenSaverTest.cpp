// The screensaver hold-off of a generator window against a stand-in for the
// desktop's org.freedesktop.ScreenSaver service on a private bus.

#include "app/Application.h"
#include "tests/app/GeneratorFixture.h"
#include "sync/dbus/DBusScreenSaver.h"
#include "tests/fakes/PrivateSessionBus.h"
#include "tests/sync/DBusTestSupport.h"

#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>

#include <mutex>
#include <string>
#include <vector>

namespace {

/// The desktop's service on a thread of its own, since the hold-off waits
/// for its answers: Inhibit answers cookies 101, 102, ...; every call is
/// recorded as "Inhibit Zephyra" or "UnInhibit 101".
class TFakeScreenSaverService {
public:
  explicit TFakeScreenSaverService(const std::string& address) {
    FThread.start();
    FObject.moveToThread(&FThread);
    FConnection = Connect(address, "fake-screensaver");
    FConnection.registerVirtualObject("/org/freedesktop/ScreenSaver", &FObject);
    FConnection.registerService("org.freedesktop.ScreenSaver");
  }
  ~TFakeScreenSaverService() {
    FConnection.unregisterObject("/org/freedesktop/ScreenSaver");
    QDBusConnection::disconnectFromBus("fake-screensaver");
    FThread.quit();
    FThread.wait();
  }
  std::vector<std::string> Calls() const { return FObject.Calls(); }

private:
  class TObject final : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& connection) override {
      if (m.interface() != "org.freedesktop.ScreenSaver") return false;
      std::lock_guard lock(FMutex);
      if (m.member() == "Inhibit" && m.signature() == "ss") {
        FCalls.push_back("Inhibit " + m.arguments()[0].toString().toStdString());
        connection.send(m.createReply(QVariant::fromValue(++FCookie)));
      } else if (m.member() == "UnInhibit" && m.signature() == "u") {
        FCalls.push_back("UnInhibit " + std::to_string(m.arguments()[0].toUInt()));
        connection.send(m.createReply());
      } else {
        return false;
      }
      return true;
    }
    std::vector<std::string> Calls() const {
      std::lock_guard lock(FMutex);
      return FCalls;
    }

  private:
    mutable std::mutex FMutex;
    std::vector<std::string> FCalls;
    uint32_t FCookie = 100;
  };

  QThread FThread;
  TObject FObject;
  QDBusConnection FConnection{""};
};

class ScreenSaverHoldOff : public GeneratorFixture {
protected:
  void SetUp() override {
    EnsureCoreApplication();
    ASSERT_FALSE(Daemon.Address().empty()) << "dbus-daemon did not start";
    Saver = std::make_unique<TDBusScreenSaver>(Connect(Daemon.Address(), "saver"), "Zephyra");
    Settings.reset();
    Gen = std::make_unique<TfrmGenerator>(TGeneratorServices{App, Loop, Dialogs, Shell, Loop.Clock, Device,
                                                             *SettingsStore, Format, nullptr, Saver.get()});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
  }
  void TearDown() override {
    Settings.reset();
    Gen.reset();
    Saver.reset();
    QDBusConnection::disconnectFromBus("saver");
  }

  void Stop() {
    Gen->btnOFF.Click();
    Loop.ProcessMessages();
  }

  TPrivateSessionBus Daemon;
  std::unique_ptr<TDBusScreenSaver> Saver;
};

using Calls = std::vector<std::string>;

TEST_F(ScreenSaverHoldOff, HeldWhileTheOutputPlaysWithTheBoxTicked) {
  TFakeScreenSaverService service(Daemon.Address());
  StartOutput();
  EXPECT_EQ(service.Calls(), Calls{"Inhibit Zephyra"});
  EXPECT_TRUE(Saver->Held());
  Stop();
  EXPECT_EQ(service.Calls(), (Calls{"Inhibit Zephyra", "UnInhibit 101"}));
  StartOutput();
  Gen->btnPause.Click();
  EXPECT_EQ(service.Calls().size(), 3u) << "pausing keeps the hold";
  Stop();
  EXPECT_EQ(service.Calls().back(), "UnInhibit 102");
}

TEST_F(ScreenSaverHoldOff, TheBoxTakesEffectAtOnceWhilePlaying) {
  TFakeScreenSaverService service(Daemon.Address());
  Settings->chkDisableSS.SetChecked(false);
  StartOutput();
  EXPECT_EQ(service.Calls(), Calls{});
  Settings->chkDisableSS.SetChecked(true);
  EXPECT_EQ(service.Calls(), Calls{"Inhibit Zephyra"});
  Settings->chkDisableSS.SetChecked(false);
  EXPECT_EQ(service.Calls(), (Calls{"Inhibit Zephyra", "UnInhibit 101"}));
  Stop();
  EXPECT_EQ(service.Calls().size(), 2u);
}

TEST_F(ScreenSaverHoldOff, TheProgramsEndGivesTheHoldBack) {
  TFakeScreenSaverService service(Daemon.Address());
  StartOutput();
  Settings.reset();
  Gen.reset();
  EXPECT_EQ(service.Calls(), (Calls{"Inhibit Zephyra", "UnInhibit 101"}));
  Saver.reset();
  EXPECT_EQ(service.Calls().size(), 2u) << "given back once";
}

TEST_F(ScreenSaverHoldOff, SilentWithoutTheService) {
  testing::internal::CaptureStderr();
  StartOutput();
  EXPECT_TRUE(Gen->AudioOut1->Active);
  EXPECT_FALSE(Saver->Held());
  Stop();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_TRUE(Dialogs.Errors.empty());
}

}  // namespace
