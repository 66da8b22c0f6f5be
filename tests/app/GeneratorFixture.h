#pragma once
// A main window and its output settings window on fake services, created as
// the program creates them, with a settings store in memory (empty unless a
// test fills it before Create, which can also run again to restart).

#include "app/Application.h"
#include "app/frmGenerator.h"
#include "persistence/MemorySettingsStore.h"
#include "playback/frmSettings.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeMessageLoop.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/FakeWaveOutDevice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

class GeneratorFixture : public ::testing::Test {
protected:
  void SetUp() override { Create(); }

  void Create() {
    Settings.reset();
    Gen = std::make_unique<TfrmGenerator>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Loop.Clock, Device, *SettingsStore, Format, nullptr, nullptr,
                           EventLogFile});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
  }

  /// The user types text into edit and moves on to another control.
  void Enter(TEdit& edit, const std::string& text) {
    EXPECT_TRUE(Gen->SetFocus(edit)) << edit.Name() << " cannot take the focus";
    edit.SetText(text);
    Gen->SetFocus(Gen->chkSync);
  }

  /// Stereo with modulation and a peaking filter on both channels, so that
  /// every field of both channels is enabled.
  void EnableAllFields() {
    Gen->cboChannels.UserSelect(cmStereo);
    Gen->ModulationOnLeft.SetChecked(true);
    Gen->ModulationOnRight.SetChecked(true);
    Gen->cboFilterTypeL1.UserSelect(ftPeaking);
    Gen->cboFilterTypeR1.UserSelect(ftPeaking);
  }

  /// Presses ON and lets the device report the output open.
  void StartOutput() {
    Gen->btnON.Click();
    Loop.ProcessMessages();
  }

  TFakeMessageLoop Loop;
  TFakeDialogs Dialogs;
  TFakeShell Shell;
  TFakeWaveOutDevice Device;
  TMemorySettingsStore Store;
  /// The store the windows are created with (Store unless a test points elsewhere).
  TSettingsStore* SettingsStore = &Store;
  TApplication App{Dialogs};
  TNumberFormat Format{'.'};
  /// Where the window appends its output events; empty writes no file.
  std::filesystem::path EventLogFile;
  std::unique_ptr<TfrmGenerator> Gen;
  std::unique_ptr<TfrmSettings> Settings;
};
