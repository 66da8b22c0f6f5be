// Real zephyra processes on a private bus, driven by zephyra-remote: each
// plays into an ALSA file device of its own, with settings that have
// answered the welcome question, so that nothing modal appears.

#include "sync/dbus/DBusGeneratorBus.h"
#include "tests/fakes/PrivateSessionBus.h"
#include "tests/persistence/TempDir.h"
#include "tests/sync/DBusTestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <memory>
#include <string>
#include <vector>

namespace {

class GeneratorProcesses : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureCoreApplication();
    ASSERT_FALSE(Daemon.Address().empty()) << "dbus-daemon did not start";
    std::filesystem::create_directories(Dir.Path() / "config/Vellacor");
    std::ofstream(Dir.File("config/Vellacor/Zephyra.reg"))
        << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n\"Welcome\"=dword:00000001\n";
  }
  void TearDown() override {
    for (auto& p : Generators) {
      p->kill();
      p->waitForFinished();
    }
  }

  QProcessEnvironment Environment(int n) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(Daemon.Address()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(Dir.File("config")));
    env.insert("XDG_STATE_HOME", QString::fromStdString(Dir.File("state")));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const std::string conf = Dir.File("asound" + std::to_string(n) + ".conf");
    std::ofstream(conf) << "pcm.!default { type file; slave.pcm \"null\"; file \"" << Output(n)
                        << "\"; format \"raw\" }\n";
    env.insert("ALSA_CONFIG_PATH", QString::fromStdString("/usr/share/alsa/alsa.conf:" + conf));
    return env;
  }
  std::string Output(int n) const { return Dir.File("out" + std::to_string(n) + ".raw"); }
  uintmax_t Played(int n) const {
    std::error_code ec;
    const auto size = std::filesystem::file_size(Output(n), ec);
    return ec ? 0 : size;
  }

  /// Starts n generators (the last with lastArgs) and waits until each is on the bus.
  void Start(int n, const QStringList& lastArgs = {"/nosplash"}) {
    for (int i = 0; i < n; ++i) {
      auto p = std::make_unique<QProcess>();
      p->setProcessEnvironment(Environment(i));
      p->setStandardErrorFile(QString::fromStdString(Errors(i)));
      p->start(ZEPHYRA_PROGRAM, i + 1 < n ? QStringList{"/nosplash"} : lastArgs);
      ASSERT_TRUE(p->waitForStarted());
      Generators.push_back(std::move(p));
    }
    for (int i = 0; i < 600 && Names().size() < n; ++i) QThread::msleep(100);
    ASSERT_EQ(Names().size(), n) << "the generators did not come up";
  }
  std::string Errors(int n) const { return Dir.File("stderr" + std::to_string(n) + ".txt"); }
  QStringList Names() { return TDBusGeneratorBus::GeneratorNames(Connect(Daemon.Address(), "watcher")); }
  /// The generators in the order of their bus names.
  std::vector<int> InNameOrder() {
    std::vector<int> order;
    for (const QString& name : Names())
      for (int n = 0; n < static_cast<int>(Generators.size()); ++n)
        if (name.endsWith("p" + Pid(n))) order.push_back(n);
    return order;
  }
  /// Whether generator n plays, as its status says (nullopt: no answer).
  std::optional<bool> Playing(int n) {
    auto p = Remote({"status", "--pid", Pid(n)}, QProcess::SeparateChannels);
    if (Finished(*p) != 0) return std::nullopt;
    return p->readAllStandardOutput().contains("playing=true");
  }

  QString Pid(int n) const { return QString::number(Generators[static_cast<size_t>(n)]->processId()); }

  std::unique_ptr<QProcess> Remote(const QStringList& args,
                                   QProcess::ProcessChannelMode mode = QProcess::ForwardedChannels) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(Daemon.Address()));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(mode);
    p->start(ZEPHYRA_REMOTE, args);
    return p;
  }
  /// The next play of generator n (the file device takes data at once) within ms.
  bool GrowsWithin(int n, int ms) {
    const uintmax_t before = Played(n);
    for (int i = 0; i < ms / 10 && Played(n) == before; ++i) QThread::msleep(10);
    return Played(n) > before;
  }
  int Finished(QProcess& p) {
    p.waitForFinished(120000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }
  int Run(const QStringList& args) { return Finished(*Remote(args)); }

  /// Waits until generator n has played something (the file device takes data at once).
  bool PlaysSoon(int n) {
    for (int i = 0; i < 300 && Played(n) == 0; ++i) QThread::msleep(100);
    return Played(n) > 0;
  }

  TPrivateSessionBus Daemon;
  TTempDir Dir;
  std::vector<std::unique_ptr<QProcess>> Generators;
};

TEST_F(GeneratorProcesses, TwoBroadcastAtOnceAllAreReachedAndAKilledOneStallsNothing) {
  Start(3);
  // Two generators told at the same moment to tick their boxes both
  // rebroadcast at once, each calling the other while it waits.
  auto first = Remote({"--pid", Pid(0), "sync", "on"});
  auto second = Remote({"--pid", Pid(1), "sync", "on"});
  EXPECT_EQ(Finished(*first), 0);
  EXPECT_EQ(Finished(*second), 0);
  for (int n = 0; n < 3; ++n) EXPECT_EQ(Played(n), 0u) << n;

  // ON to every generator (zephyra-remote calls each in turn).
  EXPECT_EQ(Run({"on"}), 0);
  for (int n = 0; n < 3; ++n) EXPECT_TRUE(PlaysSoon(n)) << "generator " << n;
  EXPECT_EQ(Run({"off"}), 0);

  // A generator that was killed is skipped; the others are reached.
  const QString killed = Pid(2);
  Generators[2]->kill();
  Generators[2]->waitForFinished();
  EXPECT_EQ(Run({"duration", "2.5"}), 0);
  EXPECT_EQ(Run({"--pid", Pid(1), "sync", "off"}), 0) << "a broadcast past the killed one";
  EXPECT_EQ(Run({"--pid", killed, "on"}), 1) << "that one has gone";
}

TEST_F(GeneratorProcesses, OppositeSyncChangesAtOnceEndWithEveryInstanceRunningAndNoMessageInsideAnother) {
  Start(3);
  for (int round = 0; round < 20; ++round) {
    // Each rebroadcasts its new state; the other's broadcast arrives meanwhile.
    auto first = Remote({"--pid", Pid(0), "sync", round % 2 ? "off" : "on"});
    auto second = Remote({"--pid", Pid(2), "sync", round % 2 ? "on" : "off"});
    EXPECT_EQ(Finished(*first), 0) << round;
    EXPECT_EQ(Finished(*second), 0) << round;
  }
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(Generators[n]->state(), QProcess::Running) << n;
    EXPECT_EQ(Playing(n), false) << "generator " << n << " answers";
    std::ifstream log(Errors(n));
    const std::string errors((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(errors.find("inside another message"), std::string::npos) << errors;
  }
}

TEST_F(GeneratorProcesses, AFrozenGeneratorDelaysNobodyAndCatchesUpInOrderWhenItWakes) {
  Start(3);
  const std::vector<int> order = InNameOrder();
  ASSERT_EQ(order.size(), 3u);
  const int frozen = order[0], broadcaster = order[1], third = order[2];
  EXPECT_EQ(Run({"--pid", Pid(broadcaster), "sync", "on"}), 0);
  QThread::msleep(300);
  ASSERT_EQ(::kill(static_cast<pid_t>(Generators[frozen]->processId()), SIGSTOP), 0);
  EXPECT_EQ(Run({"--pid", Pid(broadcaster), "786", "1"}), 0) << "the ON/OFF key: ON for every generator";
  EXPECT_TRUE(GrowsWithin(broadcaster, 1000));
  EXPECT_TRUE(GrowsWithin(third, 1000)) << "the frozen generator, called first, holds nobody up";
  QThread::msleep(500);
  EXPECT_EQ(Run({"--pid", Pid(broadcaster), "786", "1"}), 0) << "OFF";
  ::kill(static_cast<pid_t>(Generators[frozen]->processId()), SIGCONT);
  EXPECT_TRUE(GrowsWithin(frozen, 3000)) << "on waking it runs ON ...";
  for (int n : {frozen, broadcaster, third}) {
    std::optional<bool> playing;
    for (int i = 0; i < 50 && (playing = Playing(n)) != false; ++i) QThread::msleep(100);
    EXPECT_EQ(playing, false) << "... then OFF: generator " << n << " has stopped";
  }
}

TEST_F(GeneratorProcesses, ASynchronisedStopEndsTheWaitOfAScriptsPlay) {
  const std::string script = Dir.File("ten.zes");
  std::ofstream(script) << "play 1 " << std::filesystem::path(ZEPHYRA_PROGRAM).parent_path().string()
                        << "/Examples.zep\nend\n";  // ten seconds of pink noise
  Start(2, {QString::fromStdString(script)});
  QProcess& batch = *Generators[1];
  ASSERT_TRUE(PlaysSoon(1));
  EXPECT_EQ(Run({"--pid", Pid(0), "sync", "on"}), 0);
  EXPECT_EQ(Run({"--pid", Pid(0), "786", "1"}), 0) << "ON for both; the batch run plays on";
  EXPECT_TRUE(GrowsWithin(0, 1000));
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(Run({"--pid", Pid(0), "786", "1"}), 0) << "OFF for both";
  EXPECT_TRUE(batch.waitForFinished(5000)) << "the play line's wait ends with the stop";
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(batch.exitStatus(), QProcess::NormalExit);
}

}  // namespace
