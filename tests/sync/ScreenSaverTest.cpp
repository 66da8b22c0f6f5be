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

/// The desktop's service on a thread of its own: Inhibit answers cookies
/// 101, 102, ... (a late service only when the test calls Answer); every
/// call is recorded as "Inhibit Zephyra" or "UnInhibit 101". Barrier answers
/// once every call sent before it on the same connection is recorded.
class TFakeScreenSaverService {
public:
  explicit TFakeScreenSaverService(const std::string& address, bool late = false) {
    FObject.Late = late;
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
  void Answer() { FObject.Answer(FConnection); }

private:
  class TObject final : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& connection) override {
      if (m.interface() != "org.freedesktop.ScreenSaver") return false;
      std::lock_guard lock(FMutex);
      if (m.member() == "Inhibit" && m.signature() == "ss") {
        FCalls.push_back("Inhibit " + m.arguments()[0].toString().toStdString());
        m.setDelayedReply(Late);
        if (Late) FLate.push_back(m);
        else connection.send(m.createReply(QVariant::fromValue(++FCookie)));
      } else if (m.member() == "Barrier") {
        connection.send(m.createReply());
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
    void Answer(const QDBusConnection& connection) {
      std::lock_guard lock(FMutex);
      for (const QDBusMessage& m : FLate) connection.send(m.createReply(QVariant::fromValue(++FCookie)));
      FLate.clear();
    }
    bool Late = false;

  private:
    mutable std::mutex FMutex;
    std::vector<std::string> FCalls;
    std::vector<QDBusMessage> FLate;
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

  /// The calls once the service has seen all the saver sent so far, and
  /// the answers it gave have reached the saver: they come before Barrier's
  /// and take at most two queued steps (to the watcher's helper, then the
  /// watcher), hence two passes.
  static std::vector<std::string> Settled(const TFakeScreenSaverService& service) {
    QDBusConnection("saver").call(QDBusMessage::createMethodCall(
        "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "Barrier"));
    for (int pass = 0; pass < 2; ++pass) QCoreApplication::processEvents();
    return service.Calls();
  }

  /// The late service answers what it has been asked; then the saver's
  /// reaction to the answers, once the service has seen it.
  static std::vector<std::string> AnswerLate(TFakeScreenSaverService& service) {
    Settled(service);
    service.Answer();
    Settled(service);
    return Settled(service);
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
  EXPECT_EQ(Settled(service), Calls{"Inhibit Zephyra"});
  EXPECT_TRUE(Saver->Held());
  Stop();
  EXPECT_EQ(Settled(service), (Calls{"Inhibit Zephyra", "UnInhibit 101"}));
  StartOutput();
  Gen->btnPause.Click();
  EXPECT_EQ(Settled(service).size(), 3u) << "pausing keeps the hold";
  Stop();
  EXPECT_EQ(Settled(service).back(), "UnInhibit 102");
}

TEST_F(ScreenSaverHoldOff, TheBoxTakesEffectAtOnceWhilePlaying) {
  TFakeScreenSaverService service(Daemon.Address());
  Settings->chkDisableSS.SetChecked(false);
  StartOutput();
  EXPECT_EQ(Settled(service), Calls{});
  Settings->chkDisableSS.SetChecked(true);
  EXPECT_EQ(Settled(service), Calls{"Inhibit Zephyra"});
  Settings->chkDisableSS.SetChecked(false);
  EXPECT_EQ(Settled(service), (Calls{"Inhibit Zephyra", "UnInhibit 101"}));
  Stop();
  EXPECT_EQ(Settled(service).size(), 2u);
}

TEST_F(ScreenSaverHoldOff, TheProgramsEndGivesTheHoldBack) {
  TFakeScreenSaverService service(Daemon.Address());
  StartOutput();
  ASSERT_EQ(Settled(service), Calls{"Inhibit Zephyra"});
  Settings.reset();
  Gen.reset();
  EXPECT_EQ(Settled(service), (Calls{"Inhibit Zephyra", "UnInhibit 101"}));
  Saver.reset();
  EXPECT_EQ(Settled(service).size(), 2u) << "given back once";
}

TEST_F(ScreenSaverHoldOff, ALateAnswerHoldsNothingUpAndIsGivenBackWhenNoLongerWanted) {
  TFakeScreenSaverService service(Daemon.Address(), true);
  Saver->Hold();
  Saver->Hold();
  EXPECT_EQ(Settled(service), Calls{"Inhibit Zephyra"}) << "Hold returned unanswered, and asked once";
  EXPECT_FALSE(Saver->Held());
  AnswerLate(service);
  EXPECT_TRUE(Saver->Held());

  Saver->Release();
  Saver->Hold();
  Saver->Release();
  EXPECT_EQ(AnswerLate(service), (Calls{"Inhibit Zephyra", "UnInhibit 101", "Inhibit Zephyra", "UnInhibit 102"}));
  EXPECT_FALSE(Saver->Held());

  Saver->Hold();
  Settings.reset();
  Gen.reset();
  Saver.reset();
  EXPECT_EQ(AnswerLate(service).back(), "UnInhibit 103") << "granted after the saver went";
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
