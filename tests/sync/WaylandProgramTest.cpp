// The program on a Wayland desktop: a headless weston that the test starts
// (skipped where it cannot start), Qt's wayland plug-in, a private bus and
// an ALSA file device. Start-up, splash included, writes nothing on stderr,
// and ON and OFF from zephyra-remote are heard and reported.

#include "sync/dbus/DBusGeneratorBus.h"
#include "tests/fakes/PrivateSessionBus.h"
#include "tests/persistence/TempDir.h"
#include "tests/sync/DBusTestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

namespace {

namespace fs = std::filesystem;

bool Within(int ms, const std::function<bool()>& done) {
  for (int waited = 0; !done() && waited < ms; waited += 50) QThread::msleep(50);
  return done();
}

uintmax_t SizeOf(const std::string& file) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(file, ec);
  return ec ? 0 : size;
}

std::string Contents(const std::string& file) {
  std::ifstream in(file);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WaylandProgram : public ::testing::Test {
protected:
  void TearDown() override {
    for (QProcess* p : {&Program, &Weston}) {
      p->kill();
      p->waitForFinished(5000);
    }
  }

  /// zephyra-remote's output with args; nullopt when it failed.
  std::optional<QString> Remote(const QStringList& args) {
    QProcess remote;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(Bus.Address()));
    remote.setProcessEnvironment(env);
    remote.start(ZEPHYRA_REMOTE, args);
    if (!remote.waitForFinished(30000) || remote.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(remote.readAllStandardOutput());
  }

  TTempDir Dir;
  TPrivateSessionBus Bus;
  QProcess Weston, Program;
};

TEST_F(WaylandProgram, StartsWithoutAWordOnStderrAndPlaysOnAndOff) {
  EnsureCoreApplication();
  ASSERT_FALSE(Bus.Address().empty()) << "dbus-daemon did not start";
  const fs::path run = Dir.Path() / "run";
  fs::create_directories(run);
  fs::permissions(run, fs::perms::owner_all, fs::perm_options::replace);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(run.string()));
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  Weston.setProcessEnvironment(env);
  Weston.setStandardErrorFile(QString::fromStdString(Dir.File("weston.log")));
  Weston.start("weston", {"--backend=headless-backend.so", "--socket=zephyra-test", "--idle-time=0"});
  if (!Weston.waitForStarted(5000) || !Within(10000, [&] { return fs::exists(run / "zephyra-test"); }))
    GTEST_SKIP() << "weston could not start: " << Contents(Dir.File("weston.log"));

  fs::create_directories(Dir.Path() / "config/Vellacor");
  std::ofstream(Dir.File("config/Vellacor/Zephyra.reg"))
      << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n\"Welcome\"=dword:00000001\n";
  const std::string output = Dir.File("out.raw");
  std::ofstream(Dir.File("asound.conf")) << "pcm.!default { type file; slave.pcm \"null\"; file \"" << output
                                         << "\"; format \"raw\" }\n";
  env.insert("WAYLAND_DISPLAY", "zephyra-test");
  env.insert("QT_QPA_PLATFORM", "wayland");
  env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(Bus.Address()));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(Dir.File("config")));
  env.insert("XDG_STATE_HOME", QString::fromStdString(Dir.File("state")));
  env.insert("ALSA_CONFIG_PATH", QString::fromStdString("/usr/share/alsa/alsa.conf:" + Dir.File("asound.conf")));
  Program.setProcessEnvironment(env);
  Program.setStandardErrorFile(QString::fromStdString(Dir.File("stderr.txt")));
  Program.start(ZEPHYRA_PROGRAM, {});  // with the splash
  ASSERT_TRUE(Program.waitForStarted(10000));
  const QDBusConnection watcher = Connect(Bus.Address(), "wayland-watcher");
  ASSERT_TRUE(Within(60000, [&] { return !TDBusGeneratorBus::GeneratorNames(watcher).isEmpty(); }))
      << "the program did not come up: " << Contents(Dir.File("stderr.txt"));

  EXPECT_TRUE(Remote({"on"})) << "ON";
  EXPECT_TRUE(Within(10000, [&] { return SizeOf(output) > 0; })) << "the file device hears the signal";
  EXPECT_TRUE(Remote({"status"}).value_or("").contains("playing=true"));
  EXPECT_TRUE(Remote({"off"})) << "OFF";
  EXPECT_TRUE(Within(10000, [&] { return Remote({"status"}).value_or("").contains("playing=false"); }));
  EXPECT_EQ(Program.state(), QProcess::Running);
  EXPECT_EQ(Contents(Dir.File("stderr.txt")), "") << "start-up and ON/OFF say nothing on stderr";
}

}  // namespace
