// The program in batch mode on an account that has never run it: no stored
// settings, no display, nobody at the keys, and a sound device (its absence
// is a message that waits). A run that waited for an answer would never end.

#include "tests/fakes/PrivateSessionBus.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include <filesystem>
#include <fstream>

namespace {

TEST(BatchProgram, RunsAScriptToItsEndOnAFreshAccountWithNoKeyPressed) {
  static int argc = 1;
  static char name[] = "zephyra_script_program_tests";
  static char* argv[] = {name, nullptr};
  const QCoreApplication application(argc, argv);
  TPrivateSessionBus bus;
  TTempDir dir;
  std::filesystem::create_directory(dir.Path() / "config");
  // The whole ALSA configuration: no sound-server plugin of the machine is loaded.
  std::ofstream(dir.File("asound.conf")) << "pcm.null { type null }\n"
                                         << "pcm.!default { type file; slave.pcm \"null\"; file \""
                                         << dir.File("out.raw") << "\"; format \"raw\" }\n";
  std::ofstream(dir.File("tests.zes")) << "rem unattended\ndelay 0.2\nend\n";
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.File("config")));
  environment.insert("XDG_STATE_HOME", QString::fromStdString(dir.File("state")));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(bus.Address()));
  environment.insert("ALSA_CONFIG_PATH", QString::fromStdString(dir.File("asound.conf")));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.setProcessChannelMode(QProcess::MergedChannels);
  program.start(ZEPHYRA_PROGRAM, {QString::fromStdString(dir.File("tests.zes"))});
  ASSERT_TRUE(program.waitForStarted());
  const bool ended = program.waitForFinished(120000);
  if (!ended) program.kill();
  const std::string output = program.readAll().toStdString();
  ASSERT_TRUE(ended) << "the batch run waited for an answer\n" << output;
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0) << output;
}

}  // namespace
