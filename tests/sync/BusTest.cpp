// The generator bus on a private D-Bus daemon: several generator windows in
// this process, each on its own bus connection under its own name.

#include "app/Application.h"
#include "app/frmGenerator.h"
#include "persistence/MemorySettingsStore.h"
#include "playback/frmSettings.h"
#include "sync/dbus/DBusGeneratorBus.h"
#include "sync/dbus/DBusStatus.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/FakeMessageLoop.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/FakeWaveOutDevice.h"
#include "tests/fakes/PrivateSessionBus.h"
#include "tests/sync/DBusTestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

/// One running generator: its window on fake services and its bus endpoint.
struct TInstance : TFakeServices {
  TInstance(const std::string& address, const std::string& id, int timeoutMs) : Name(id) {
    Gen = std::make_unique<TfrmGenerator>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Loop.Clock, Device, Store, TNumberFormat{'.'}});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
    auto bus = std::make_unique<TDBusGeneratorBus>(
        Connect(address, id), id,
        [this](uint32_t n, uint32_t w, int32_t l, TDelivery d) {
          Gen->ReceiveMessage(n, w, l, d);
          if (AfterMessage) AfterMessage(n, d);
        },
        timeoutMs,
        [this] { return Gen->Status(); });
    Bus = bus.get();
    Gen->SetBroadcast(std::move(bus));
  }
  ~TInstance() { QDBusConnection::disconnectFromBus(QString::fromStdString(Name)); }

  bool Playing() {
    Loop.ProcessMessages();
    return Gen->AudioOut1->Active;
  }

  std::string Name;
  /// Runs after each message the window got, as a user's click in between would.
  std::function<void(uint32_t, TDelivery)> AfterMessage;
  std::unique_ptr<TfrmGenerator> Gen;
  std::unique_ptr<TfrmSettings> Settings;
  TDBusGeneratorBus* Bus = nullptr;
};

/// A generator that takes calls and never answers them.
class TSilentObject final : public QDBusVirtualObject {
public:
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
    ++Calls;
    message.setDelayedReply(true);
    return true;
  }
  int Calls = 0;
};

class GeneratorBus : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureCoreApplication();
    ASSERT_FALSE(Daemon.Address().empty()) << "dbus-daemon did not start";
  }

  /// Adds a generator named p<id>; names sort in the order the tests add them.
  TInstance& Add(int id, int timeoutMs = 20000) {
    Instances.push_back(std::make_unique<TInstance>(Daemon.Address(), "p" + std::to_string(id), timeoutMs));
    EXPECT_TRUE(Instances.back()->Bus->Connected());
    return *Instances.back();
  }

  /// Serves the bus until every broadcast message has been confirmed or has
  /// failed (or ms have passed), then lets each window take its notifications.
  void Deliver(int ms = 10000) {
    QElapsedTimer clock;
    clock.start();
    auto unconfirmed = [this] {
      return std::any_of(Instances.begin(), Instances.end(), [](auto& i) { return i->Bus->Unconfirmed() > 0; });
    };
    do {
      QCoreApplication::processEvents();
      QThread::msleep(1);  // the bus's own thread delivers meanwhile
    } while (unconfirmed() && clock.elapsed() < ms);
    QCoreApplication::processEvents();
    for (auto& i : Instances) i->Loop.ProcessMessages();
  }

  /// Runs zephyra-remote on the private bus while this process serves its
  /// generators; returns the exit status, stderr in err, stdout in out.
  int Remote(const QStringList& args, std::string* err = nullptr, std::string* out = nullptr) {
    QProcess remote;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(Daemon.Address()));
    remote.setProcessEnvironment(env);
    QEventLoop loop;
    QObject::connect(&remote, &QProcess::finished, &loop, &QEventLoop::quit);
    remote.start(ZEPHYRA_REMOTE, args);
    if (!remote.waitForStarted()) return -1;
    loop.exec();
    if (err) *err = remote.readAllStandardError().toStdString();
    if (out) *out = remote.readAllStandardOutput().toStdString();
    return remote.exitStatus() == QProcess::NormalExit ? remote.exitCode() : -1;
  }

  TPrivateSessionBus Daemon;
  std::vector<std::unique_ptr<TInstance>> Instances;
};

TEST_F(GeneratorBus, EachInstanceOwnsItsNameAndTheBroadcastListsThemSorted) {
  Add(1002);
  Add(1001);
  TInstance& c = Add(1003);
  EXPECT_EQ(c.Bus->ServiceName(), "org.vellacor.Zephyra.Generator.p1003");
  auto conn = Connect(Daemon.Address(), "lister");
  EXPECT_EQ(TDBusGeneratorBus::GeneratorNames(conn),
            (QStringList{"org.vellacor.Zephyra.Generator.p1001", "org.vellacor.Zephyra.Generator.p1002",
                         "org.vellacor.Zephyra.Generator.p1003"}));
  QDBusConnection::disconnectFromBus("lister");
}

TEST_F(GeneratorBus, SyncTickedInOneTicksAllAndOnStartsEveryGenerator) {
  TInstance& a = Add(1001);
  TInstance& b = Add(1002);
  TInstance& c = Add(1003);
  b.Gen->btnON.Click();
  ASSERT_TRUE(b.Playing());
  const int opensOfB = b.Device.CountOf("Open");

  a.Gen->chkSync.SetChecked(true);
  Deliver();
  for (TInstance* i : {&a, &b, &c}) EXPECT_TRUE(i->Gen->chkSync.Checked()) << i->Name;
  a.Gen->btnON.Click();
  Deliver();
  for (TInstance* i : {&a, &b, &c}) EXPECT_TRUE(i->Playing()) << i->Name;
  EXPECT_EQ(b.Device.CountOf("Open"), opensOfB) << "a running generator keeps running unchanged";
}

TEST_F(GeneratorBus, PauseTogglesEachGeneratorOnItsOwn) {
  TInstance& a = Add(1001);
  TInstance& b = Add(1002);
  for (TInstance* i : {&a, &b}) i->Gen->btnON.Click();
  b.Gen->btnPause.Click();
  ASSERT_TRUE(b.Gen->AudioOut1->Paused());
  a.Gen->chkSync.SetChecked(true);
  a.Gen->btnPause.Click();
  Deliver();
  EXPECT_TRUE(a.Gen->AudioOut1->Paused());
  EXPECT_FALSE(b.Gen->AudioOut1->Paused());
  EXPECT_FALSE(b.Gen->btnPause.Font().Bold);
}

TEST_F(GeneratorBus, OffStopsAllAlsoAWindowStartedLaterWithItsBoxClear) {
  TInstance& a = Add(1001);
  TInstance& b = Add(1002);
  a.Gen->chkSync.SetChecked(true);
  Deliver();
  TInstance& late = Add(1003);
  late.Gen->btnON.Click();
  a.Gen->btnON.Click();
  Deliver();
  ASSERT_FALSE(late.Gen->chkSync.Checked());
  for (TInstance* i : {&a, &b, &late}) ASSERT_TRUE(i->Playing()) << i->Name;
  b.Gen->btnOFF.Click();
  Deliver();
  for (TInstance* i : {&a, &b, &late}) EXPECT_FALSE(i->Playing()) << i->Name;
}

TEST_F(GeneratorBus, ABroadcastChangeIsNotSentOnAndAChangeByMessageIs) {
  TInstance& a = Add(1001);
  TInstance& b = Add(1002);
  TInstance& c = Add(1003);
  int syncClicks = 0;
  for (TInstance* i : {&a, &b, &c})
    i->Gen->chkSync.OnClick = [&, i] {
      ++syncClicks;
      i->Gen->chkSyncClick();
    };
  a.Gen->chkSync.SetChecked(true);
  Deliver();
  for (TInstance* i : {&a, &b, &c}) EXPECT_TRUE(i->Gen->chkSync.Checked()) << i->Name;
  EXPECT_EQ(a.Bus->Unconfirmed() + b.Bus->Unconfirmed() + c.Bus->Unconfirmed(), 0);
  EXPECT_EQ(syncClicks, 3) << "one broadcast from a; b and c only tick their boxes";
  // A message from another program makes c broadcast its new state once more.
  EXPECT_EQ(Remote({"--pid", "1003", "sync", "off"}), 0);
  Deliver();
  for (TInstance* i : {&a, &b, &c}) EXPECT_FALSE(i->Gen->chkSync.Checked()) << i->Name;
}

TEST_F(GeneratorBus, AClickDuringABroadcastRunsAfterItSoOnThenOffLeavesAllStopped) {
  TInstance& a = Add(1001);
  TInstance& b = Add(1002);
  a.Gen->chkSync.SetChecked(true);
  // The user clicks OFF while a's broadcast of ON is still handling a's own window.
  a.AfterMessage = [&](uint32_t n, TDelivery d) {
    if (n == gmStart && d == TDelivery::Own) a.Gen->btnOFF.Click();
  };
  a.Gen->btnON.Click();
  Deliver();
  EXPECT_FALSE(a.Playing());
  EXPECT_FALSE(b.Playing()) << "b got ON, then OFF";
  EXPECT_EQ(b.Device.CountOf("Open"), 1);
}

TEST_F(GeneratorBus, AGeneratorThatDoesNotAnswerDelaysNobodyAndIsReportedOnStderr) {
  TInstance& a = Add(1001, 1500);
  TInstance& c = Add(1003);
  a.Gen->chkSync.SetChecked(true);
  auto silentConnection = Connect(Daemon.Address(), "silent");
  TSilentObject silent;
  ASSERT_TRUE(silentConnection.registerVirtualObject("/Generator", &silent));
  ASSERT_TRUE(silentConnection.registerService("org.vellacor.Zephyra.Generator.p1002"));
  testing::internal::CaptureStderr();
  a.Gen->btnON.Click();
  EXPECT_TRUE(a.Playing()) << "the broadcaster's own window at once";
  QElapsedTimer clock;
  for (clock.start(); !c.Playing() && clock.elapsed() < 5000; QThread::msleep(2)) QCoreApplication::processEvents();
  EXPECT_TRUE(c.Playing()) << "the generator after the silent one, without waiting for it";
  EXPECT_GE(a.Bus->Unconfirmed(), 1) << "the silent one has not answered yet";
  Deliver();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(silent.Calls, 1);
  EXPECT_NE(err.find("org.vellacor.Zephyra.Generator.p1002 did not confirm message 1024"), std::string::npos) << err;
  QDBusConnection::disconnectFromBus("silent");
}

TEST_F(GeneratorBus, AGeneratorThatHasGoneIsSkippedAtOnceAndSilently) {
  TInstance& a = Add(1001);
  TInstance& b = Add(1002);
  Add(1003);
  TInstance& d = Add(1004);
  // b's reaction takes p1003 off the bus after a has listed the names.
  b.Gen->chkSync.OnClick = [&] { QDBusConnection::disconnectFromBus("p1003"); };
  a.App.BroadcastMessage = gmSync;
  testing::internal::CaptureStderr();
  a.Gen->BroadcastToGenerators(1, 0);
  Deliver();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(d.Gen->chkSync.Checked());
}

TEST_F(GeneratorBus, WithoutABusTheWindowReachesOnlyItself) {
  TInstance& other = Add(1002);
  TFakeMessageLoop loop;
  TFakeDialogs dialogs;
  TFakeShell shell;
  TFakeWaveOutDevice device;
  TMemorySettingsStore store;
  TApplication app{dialogs};
  TfrmGenerator gen(TGeneratorServices{app, loop, dialogs, shell, loop.Clock, device, store, TNumberFormat{'.'}});
  TfrmSettings settings(gen, shell);
  auto bus = std::make_unique<TDBusGeneratorBus>(Connect("unix:path=/nonexistent/bus", "none"), "p1001",
                                                 [&](uint32_t n, uint32_t w, int32_t l, TDelivery d) { gen.ReceiveMessage(n, w, l, d); });
  EXPECT_FALSE(bus->Connected());
  gen.SetBroadcast(std::move(bus));
  gen.chkSync.SetChecked(true);
  testing::internal::CaptureStderr();
  gen.btnON.Click();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  loop.ProcessMessages();
  EXPECT_TRUE(gen.AudioOut1->Active);
  EXPECT_FALSE(other.Playing());
  QDBusConnection::disconnectFromBus("none");
}

TEST_F(GeneratorBus, AnyProgramCanSendAMessageAndABadCallIsRefused) {
  TInstance& a = Add(1001);
  auto conn = Connect(Daemon.Address(), "sender");
  auto call = [&](const QList<QVariant>& args) {
    QDBusMessage m = QDBusMessage::createMethodCall("org.vellacor.Zephyra.Generator.p1001", "/Generator",
                                                    "org.vellacor.Zephyra.Generator", "Message");
    m.setArguments(args);
    return conn.call(m, QDBus::BlockWithGui);
  };
  EXPECT_EQ(call({1034u, 25u, 0}).type(), QDBusMessage::ReplyMessage);
  EXPECT_EQ(a.Gen->Duration.Text(), "2.5");
  EXPECT_EQ(call({1040, -20, 0}).type(), QDBusMessage::ReplyMessage) << "plain signed numbers are understood";
  EXPECT_EQ(a.Gen->AmplitudeLeft.Text(), "-20");
  for (const QList<QVariant>& args : {QList<QVariant>{1034u, 30u}, QList<QVariant>{1034u, QString("3"), 0},
                                      QList<QVariant>{1034u, 30.0, 0}, QList<QVariant>{1034u, 30u, 0, 0}}) {
    const QDBusMessage bad = call(args);
    EXPECT_EQ(bad.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(bad.errorName().toStdString(), "org.freedesktop.DBus.Error.InvalidArgs");
  }
  EXPECT_EQ(a.Gen->Duration.Text(), "2.5");
  QDBusConnection::disconnectFromBus("sender");
}

TEST_F(GeneratorBus, ASecondInstanceCannotTakeANameInUse) {
  Add(1001);
  TDBusGeneratorBus twin(Connect(Daemon.Address(), "twin"), "p1001", [](uint32_t, uint32_t, int32_t, TDelivery) {});
  EXPECT_FALSE(twin.Connected());
  QDBusConnection::disconnectFromBus("twin");
}

TEST_F(GeneratorBus, ZephyraRemoteReachesEveryGeneratorOrTheOneOfAProcessId) {
  std::string err;
  EXPECT_EQ(Remote({"on"}, &err), 1);
  EXPECT_NE(err.find("no generator is running"), std::string::npos) << err;

  TInstance& a = Add(1001);
  TInstance& b = Add(1002);
  EXPECT_EQ(Remote({"duration", "2.5"}), 0);
  EXPECT_EQ(a.Gen->Duration.Text(), "2.5");
  EXPECT_EQ(b.Gen->Duration.Text(), "2.5");
  EXPECT_EQ(Remote({"--pid", "1002", "level-left", "-20"}), 0);
  EXPECT_EQ(a.Gen->AmplitudeLeft.Text(), "0");
  EXPECT_EQ(b.Gen->AmplitudeLeft.Text(), "-20");
  EXPECT_EQ(Remote({"1024"}), 0);
  EXPECT_TRUE(a.Playing());
  EXPECT_TRUE(b.Playing());
  EXPECT_EQ(Remote({"--pid", "999", "off"}, &err), 1);
  EXPECT_NE(err.find("no generator with process id 999"), std::string::npos) << err;
  EXPECT_TRUE(a.Playing());
  EXPECT_EQ(Remote({"volume", "3"}, &err), 2);
}

TEST_F(GeneratorBus, StatusAnswersWithTheSourcesValuesAndZephyraRemotePrintsThem) {
  const TGeneratorStatus stereo{true, false, 48000, 3, 4096, 7, 12.5, true, 2, {-20.25, -INFINITY}, {-3, -INFINITY}};
  TDBusGeneratorBus fixed(Connect(Daemon.Address(), "p1000"), "p1000", [](uint32_t, uint32_t, int32_t, TDelivery) {}, 20000,
                          [&] { return stereo; });
  TInstance& window = Add(1001);
  window.Gen->btnON.Click();
  ASSERT_TRUE(window.Playing());
  auto asker = Connect(Daemon.Address(), "asker");
  EXPECT_EQ(StatusFieldsOf(CallStatus(asker, fixed.ServiceName(), 20000, QDBus::BlockWithGui)), StatusFields(stereo))
      << "every key with its type and value";

  const std::string stereoText =
      "playing=true\npaused=false\nsample_rate=48000\nbuffer_count=3\nbuffer_size=4096\ndropouts=7\n"
      "dropout_ms=12.5\ndevice=lost\nleft_output=1\nrms_left=-20.25\npeak_left=-3\nright_output=2\nrms_right=-inf\n"
      "peak_right=-inf\n";
  std::string out;
  EXPECT_EQ(Remote({"status", "--pid", "1000"}, nullptr, &out), 0);
  EXPECT_EQ(out, stereoText);
  EXPECT_EQ(Remote({"status"}, nullptr, &out), 0);
  EXPECT_EQ(out.substr(0, out.find("[", 1)), "[org.vellacor.Zephyra.Generator.p1000]\n" + stereoText);
  const std::string windowText = "[org.vellacor.Zephyra.Generator.p1001]\nplaying=true\npaused=false\nsample_rate=" +
                                 std::to_string(window.Gen->State.sampleRate) + "\n";
  EXPECT_NE(out.find(windowText), std::string::npos) << out;
  QDBusConnection::disconnectFromBus("p1000");
  QDBusConnection::disconnectFromBus("asker");
}

}  // namespace
