#pragma once
// The windows of one fuzz run on services without display, device or stored settings.

#include "app/Application.h"
#include "app/GeneratorServices.h"
#include "app/frmGenerator.h"
#include "app/render/NullServices.h"
#include "export/frmWait.h"
#include "persistence/MemorySettingsStore.h"
#include "playback/frmSettings.h"
#include "tests/fakes/FakeMessageLoop.h"

#include <sstream>

struct TWindows {
  std::ostringstream Messages;
  TStreamDialogs Dialogs{Messages, "fuzz"};
  TFakeMessageLoop Loop;
  TNullShell Shell;
  TNullWaveOutDevice Device;
  TMemorySettingsStore Store;
  TApplication App{Dialogs};
  TfrmGenerator Gen{TGeneratorServices{App, Loop, Dialogs, Shell, Loop.Clock, Device, Store, TNumberFormat{'.'}}};
  TfrmSettings Settings{Gen, Shell};
  TfrmWait Wait{Gen};
};

