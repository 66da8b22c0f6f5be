// Real zephyra processes on a private bus, driven by zephyra-remote: each
// plays into an ALSA file device of its own, with settings that have
// answered the welcome question, so that nothing modal appears.

#include "sync/dbus/DBusGeneratorBus.h"
#include "tests/fakes/PrivateSessionBus.h"
#include "tests/persistence/TempDir.h"
#include "tests/sync/DBusTestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>

#include <filesystem>
#include <fstream>
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

  /// Starts n generators and waits until each is on the bus.
  void Start(int n) {
    for (int i = 0; i < n; ++i) {
      auto p = std::make_unique<QProcess>();
      p->setProcessEnvironment(Environment(i));
      p->setStandardErrorFile(QProcess::nullDevice());
      p->start(ZEPHYRA_PROGRAM, {"/nosplash"});
      ASSERT_TRUE(p->waitForStarted());
      Generators.push_back(std::move(p));
    }
    auto bus = Connect(Daemon.Address(), "watcher");
    for (int i = 0; i < 600 && TDBusGeneratorBus::GeneratorNames(bus).size() < n; ++i) QThread::msleep(100);
    ASSERT_EQ(TDBusGeneratorBus::GeneratorNames(bus).size(), n) << "the generators did not come up";
  }

  QString Pid(int n) const { return QString::number(Generators[static_cast<size_t>(n)]->processId()); }

  std::unique_ptr<QProcess> Remote(const QStringList& args) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(Daemon.Address()));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(ZEPHYRA_REMOTE, args);
    return p;
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

}  // namespace
