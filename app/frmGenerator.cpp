#include "app/frmGenerator.h"

#include "app/Application.h"
#include "analysis/SignalAnalysis.h"
#include "app/HelpTopics.h"
#include "app/ProductTexts.h"
#include "platform/Dialogs.h"
#include "platform/HotKey.h"
#include "platform/IntervalTimer.h"
#include "platform/ScreenSaver.h"
#include "platform/Shell.h"
#include "platform/WaveOutDevice.h"
#include "perftest/PerformanceTarget.h"
#include "perftest/PerformanceTest.h"
#include "playback/OutputChannelChoice.h"
#include "playback/RenderFeed.h"
#include "playback/ReferenceOutput.h"
#include "eventlog/EventLog.h"
#include "playback/OutputEvents.h"
#include "playback/frmEventLog.h"
#include "playback/frmReferenceNoise.h"
#include "sync/MessageHandler.h"

#include <initializer_list>

TfrmGenerator::TfrmGenerator(const TGeneratorServices& services, bool batch)
    : TForm("frmGenerator"),
      FServices(services),
      FAudioOut(std::make_unique<TAudioOut>(services.WaveOut, services.Loop)),
      FAnalysis(std::make_unique<TSignalAnalysis>(State)),
      FFeed(std::make_unique<TRenderFeed>(*FAnalysis)),
      FMeterFall(std::make_unique<TIntervalTimer>(services.Loop)) {
  AudioOut1 = FAudioOut.get();
  FMeterFall->OnTick = [this](uint64_t intervals) { MeterFallTick(intervals); };
  CreateMessageHandling();
  AudioOut1->SetFrameRate(22050);
  SetCaption(ProductName);
  HelpContext = HelpContextMainWindow;
  OnHelp = [this](int context) { FServices.Shell.ShowHelp(context); };
  // The global ON/OFF key. The screensaver hold-off needs nothing installed
  // here: it follows the output's start and stop events.
  if (FServices.HotKey)
    FServices.HotKey->Register([this] { FServices.Application.Perform([this] { ONOFF2Click(); }); });
  CreateControls();
  CreateMenus();
  CreatePresetControls();
  BindHandlers();
  ShowHotKeyReach();
  if (FServices.HotKey) FServices.HotKey->OnActiveChange = [this] { ShowHotKeyReach(); };
  FServices.Application.HelpFile = HelpFolder;
  FillDeviceList();
  CreateReferenceNoise();
  CreateEventLog();
  FServices.Application.BringToFront();
  if (!batch) AskWelcomeQuestion();
}

TfrmGenerator::~TfrmGenerator() {
  if (FServices.HotKey) {
    FServices.HotKey->OnActiveChange = nullptr;
    FServices.HotKey->Unregister();
  }
  // The component's events point into this window, which is going away; the
  // stop comes first, since the render thread calls the fill event until it returns.
  AudioOut1->StopAtOnce();
  // The stop's event is not delivered any more: its line is written here.
  FOutputEvents->StopFor("exit");
  FOutputEvents->Stopped(true, AudioOut1->ErrorMessage, AudioOut1->Dropouts());
  AudioOut1->SetOnStart(nullptr);
  AudioOut1->SetOnStop(nullptr);
  AudioOut1->SetOnFillBuffer(nullptr);
  AudioOut1->SetOnBufferPlayed(nullptr);
  AudioOut1->SetOnRenderStopped(nullptr);
  AudioOut1->SetOnDeviceLost(nullptr);
  AudioOut1->SetOnDeviceBack(nullptr);
  if (FServices.ScreenSaver) FServices.ScreenSaver->Release();
}

void TfrmGenerator::CreateControls() {
  grpOutputDevice.SetCaption(" Output Device ");
  WaveDevice.SetHint("Output Device (Sound Card)  Selector");
  grpPeriod.SetCaption(" Period ");
  Duration.SetText("5");
  Duration.SetHint("Tone Duration in Seconds");
  lblDurationUnit.SetCaption("s");
  Loop.SetCaption("Loop");
  Loop.SetHint("Infinite Signal Loop On or Off");
  grpChannels.SetCaption(" Channels ");
  cboChannels.AddItem("Mono", lpMono);
  cboChannels.AddItem("Stereo", lpStereo);
  cboChannels.SetItemIndex(0);
  chkAsLeft.SetCaption("= Left");
  CreateChannelControls();


  btnOFF.SetCaption("OFF");
  btnOFF.SetHint("Generator OFF Switch");
  btnPause.SetCaption("Pause");
  btnPause.SetHint("Pause Switch");
  btnON.SetCaption("ON");
  btnON.SetHint("Generator ON Switch");
  btnON.SetDefault(true);
  LED.Shape = TShapeType::Circle;
  LED.SetBrushColor(clMaroon);
  LED.SetHint("Generator Status  on/off");
  chkSync.SetCaption("Sync all Generators");
  chkSync.SetHint(
      "If you have more than one Zephyra window open, all generators start and stop at the same time.");
  lblFS.SetCaption("fs=44.1kHz");
  lblDropouts.SetCaption("Dropouts: 0");
  lblDropouts.SetHint("Gaps the sound device played since the last start, when no audio was ready in time");
  lblCredit.SetCaption("Vellacor audio tools");
}

void TfrmGenerator::CreateChannelControls() {
  struct TSide {
    TGroupBox& box; const char* caption; TCheckBox& tick; TLabel& noiseLabel; TComboBox& wave;
    TLabel& crestLabel; TComboBox& crest; TGroupBox& filter; TComboBox& filterType;
    TLabel& fzeroLabel; TEdit& fzero; TLabel& hz; TLabel& gainLabel; TEdit& gain; TLabel& db;
    TLabel& qLabel; TEdit& q; const char* gainText; const char* qText; TGroupBox& amp;
    TTrackBar& bar; TEdit& level; TLabel& dbfs; TGroupBox& mod; TCheckBox& modOn;
    TLabel& fnLabel; TComboBox& fn; TLabel& periodLabel; TEdit& period; TLabel& sec;
    TLabel& depthLabel; TEdit& depth; TLabel& percent; TLabel& phaseLabel; TEdit& phase;
  };
  const TSide sides[] = {
      {boxLeftAll, "Left Channel", Lefttick, lblNoiseFunctionL, WaveFormLeft, lblPeakRMSratioL,
       cboCrestFactorL, grpFilterL, cboFilterTypeL1, lblFZeroL, txtFZeroL, lblHzL, lblGainL, txtGainL,
       lbldBL, lblQL, txtQL, "-10", "3", grpAmplitudeL, barAmplitudeLeft, AmplitudeLeft, lbldBFSL,
       grpModulationL, ModulationOnLeft, lblFunctionL, ModFunctionLeft, lblPeriodL, ModPeriodLeftEdit,
       lblSecL, lblDepthL, ModDepthLeftEdit, lblPercentL, lblPhaseL, ModPhaseLeftEdit},
      {boxRightAll, "Right Channel", RightTick, lblNoiseFunctionR, WaveFormRight, lblPeakRMSratioR,
       cboCrestFactorR, grpFilterR, cboFilterTypeR1, lblFZeroR, txtFZeroR, lblHzR, lblGainR, txtGainR,
       lbldBR, lblQR, txtQR, "0", "1", grpAmplitudeR, barAmplitudeRight, AmplitudeRight, lbldBFSR,
       grpModulationR, ModulationOnRight, lblFunctionR, ModFunctionRight, lblPeriodR, ModPeriodRightEdit,
       lblSecR, lblDepthR, ModDepthRightEdit, lblPercentR, lblPhaseR, ModPhaseRightEdit},
  };
  for (const TSide& s : sides) {
    s.box.SetCaption(s.caption);
    s.tick.SetCaption("On");
    s.tick.SetChecked(true);
    s.tick.SetEnabled(false);
    s.noiseLabel.SetCaption(" Noise Function ");
    s.wave.AddItem("White Noise", lpWhite);
    s.wave.AddItem("Pink Noise", lpPink);
    s.wave.SetItemIndex(0);
    s.crestLabel.SetCaption("Crest Factor");
    s.crest.SetItems({"1.42:1", "2:1", "3:1", "4:1", "6:1", "8:1", "10:1"});
    s.crest.SetItemIndex(4);
    s.filter.SetCaption(" Filter ");
    s.filterType.SetItems({"None", "Peaking", "High Pass", "Low Pass", "Band Pass", "Notch"});
    s.filterType.SetItemIndex(0);
    s.fzeroLabel.SetCaption("F0");
    s.fzero.SetText("1000");
    s.hz.SetCaption("Hz");
    s.gainLabel.SetCaption("Gain");
    s.gain.SetText(s.gainText);
    s.db.SetCaption("dB");
    s.qLabel.SetCaption("Q");
    s.q.SetText(s.qText);
    s.amp.SetCaption(" Amplitude ");
    s.bar.SetRange(0, 10000);
    s.bar.Frequency = 10;
    s.bar.PageSize = 100;  // 1 dB
    for (int dBFS = 0; dBFS >= -100; dBFS -= 20) s.bar.Scale.push_back({-100 * dBFS, std::to_string(dBFS)});
    s.level.SetText("0");
    s.dbfs.SetCaption("dBFS");
    s.mod.SetCaption(" Amplitude Modulation");
    s.fnLabel.SetCaption("Function");
    s.fn.AddItem("Sine ", lpModSine);
    s.fn.AddItem("Cosine", lpModCos);
    s.fn.AddItem("Square", lpModSquare);
    s.fn.AddItem("Triangular", lpModTriangle);
    s.fn.SetItemIndex(1);
    s.periodLabel.SetCaption("Period");
    s.period.SetText("1");
    s.sec.SetCaption("s");
    s.depthLabel.SetCaption("Depth");
    s.depth.SetText("100");
    s.percent.SetCaption("%");
    s.phaseLabel.SetCaption("Phase");
    s.phase.SetText("0");
  }
}

void TfrmGenerator::CreateMenus() {
  struct TItem { TMenuItem& item; const char* caption; const char* shortCut; bool visible; };
  const auto fill = [](TMenuItem& parent, std::initializer_list<TItem> items) {
    for (const TItem& i : items) {
      i.item.SetCaption(i.caption);
      i.item.SetShortCut(i.shortCut);
      i.item.SetVisible(i.visible);
      parent.Add(i.item);
    }
  };
  // Items whose commands come with later work are present but hidden; their
  // shortcuts work once they have a command.
  fill(MainMenu1, {{mnuFile, "&File", "", true}, {mnuPresets, "&Presets", "", true},
                   {mnuTools, "&Tools", "", true}, {mnuHelp, "&Help", "", true}});
  // "-" items separate the groups of a menu, as desktop programs do.
  fill(mnuFile, {{OpenNewGeneratorWindow1, "&Open New Generator Window", "Ctrl+N", true},
                 {N1, "-", "", true},
                 {SaveToneAsWaveFile1, "Save Tone &As Wave File...", "Ctrl+T", true},
                 {N2, "-", "", true},
                 {LoadPresets1, "&Load Presets", "Ctrl+L", true},
                 {SavePresetsAs1, "&Save Presets As...", "Ctrl+S", true},
                 {N3, "-", "", true},
                 {RunScript1, "&Run Script", "Ctrl+R", false},
                 {OpenScriptEditor1, "&Open Script Editor", "", false},
                 {N4, "-", "", true},
                 {Exit1, "&Exit", "Ctrl+X", true}});
  fill(mnuPresets, {{RecallPreset1, "Recall Preset 1", "F5", true},
                    {RecallPreset2, "Recall Preset 2", "F6", true},
                    {RecallPreset3, "Recall Preset 3", "F7", true},
                    {RecallPreset4, "Recall Preset 4", "F8", true},
                    {N5, "-", "", true},
                    {StorePreset1, "Store Preset 1", "Shift+F5", true},
                    {StorePreset2, "Store Preset 2", "Shift+F6", true},
                    {StorePreset3, "Store Preset 3", "Shift+F7", true},
                    {StorePreset4, "Store Preset 4", "Shift+F8", true},
                    {N6, "-", "", true},
                    {AutostartRecalledPresets1, "Autostart Recalled Presets", "", true},
                    {N7, "-", "", true},
                    {rESETTOdEFAULT1, "&Reset current settings", "Ctrl+Z", true}});
  fill(mnuTools, {{OutputSettings1, "&Output Settings", "Ctrl+C", true},
                  // Ctrl+T belongs to "Save Tone As Wave File...", which comes first.
                  {PerformanceTest1, "Performance &Test", "", true},
                  {Response1, "&Response", "F12", true},
                  {ReferenceNoise1, "Reference &Noise (ST 2095-1)...", "", true},
                  {EventLog1, "&Event Log", "", true},
                  {N8, "-", "", true},
                  {OFF1, "OFF", "F9", true},
                  {Pause1, "Pause", "F10", true},
                  {ON1, "ON", "F11", true},
                  {ONOFF2, "ON/OFF Toggle", "Ctrl+Ins", true}});
  fill(mnuHelp, {{Help1, "&Help", "F1", true},
                 {N9, "-", "", true},
                 {Emailtheauthor1, "&Email the author", "", true},
                 {MoreAudioSoftware1, "&More Audio Software...", "Ctrl+M", true}});
  mnuFile.HelpContext = HelpContextFileMenu;
  RunScript1.HelpContext = HelpContextScripts;
  mnuPresets.HelpContext = HelpContextPresetsMenu;
  fill(mnuCopyLtoR, {{CopySettingsfromleftChannel1, "&Use Settings from Left Channel", "", true}});
  fill(mnuCopyRtoL, {{CopySettingsfromrightChannel1, "&Use Settings from Right Channel", "", true}});
  boxRightAll.SetPopupMenu(&mnuCopyLtoR);
  boxLeftAll.SetPopupMenu(&mnuCopyRtoL);
  SetMenu(&MainMenu1);
}

void TfrmGenerator::BindHandlers() {
  BindChannelHandlers();
  Duration.OnExit = [this] { DurationExit(); };
  Loop.OnClick = [this] { LoopClick(); };
  cboChannels.OnChange = [this] { cboChannelsChange(); };
  chkAsLeft.OnClick = [this] { chkAsLeftClick(); };
  WaveDevice.OnChange = [this] { WaveDeviceChange(); };
  btnON.OnClick = [this] { btnONClick(); };
  btnOFF.OnClick = [this] { btnOFFClick(); };
  btnPause.OnClick = [this] { btnPauseClick(); };
  chkSync.OnClick = [this] { chkSyncClick(); };
  lblFS.OnClick = [this] { lblFSClick(); };
  lblPeakRMSratioL.OnClick = [this] { lblPeakRMSratioLClick(); };
  lblCredit.OnClick = [this] { Image1Click(); };
  for (TLabel* l : {&lblFS, &lblPeakRMSratioL, &lblPeakRMSratioR, &lblCredit}) {
    l->OnMouseEnter = [this, l] { lblPeakRMSratioLMouseEnter(*l); };
    l->OnMouseLeave = [this, l] { lblPeakRMSratioLMouseLeave(*l); };
  }
  OpenNewGeneratorWindow1.OnClick = [this] { OpenNewGeneratorWindow1Click(); };
  OpenScriptEditor1.OnClick = [this] { OpenScriptEditor1Click(); };
  RunScript1.OnClick = [this] { RunScript1Click(); };
  Exit1.OnClick = [this] { Exit1Click(); };
  SaveToneAsWaveFile1.OnClick = [this] { SaveWaveFile1Click(); };
  rESETTOdEFAULT1.OnClick = [this] { rESETTOdEFAULT1Click(); };
  OutputSettings1.OnClick = [this] { OutputSettings1Click(); };
  PerformanceTest1.OnClick = [this] { PerformanceTest1Click(); };
  OFF1.OnClick = [this] { btnOFFClick(); };
  Pause1.OnClick = [this] { btnPauseClick(); };
  ON1.OnClick = [this] { btnONClick(); };
  ONOFF2.OnClick = [this] { ONOFF2Click(); };
  Response1.OnClick = [this] { Response1Click(); };
  ONOFF2.OnShortCut = [this] { ONOFF2ShortCut(); };
  ONOFF2.ProgramWideShortCut = true;
  Help1.OnClick = [this] { Help1Click(); };
  Emailtheauthor1.OnClick = [this] { Emailtheauthor1Click(); };
  MoreAudioSoftware1.OnClick = [this] { MoreAudioSoftware1Click(); };
  CopySettingsfromleftChannel1.OnClick = [this] { CopySettingsfromleftChannel1Click(); };
  CopySettingsfromrightChannel1.OnClick = [this] { CopySettingsfromrightChannel1Click(); };
  AudioOut1->SetOnStart([this](void* s) { AudioOut1Start(s); });
  AudioOut1->SetOnStop([this](void* s) { AudioOut1Stop(s); });
  AudioOut1->SetOnFillBuffer([this](uint8_t* b, int32_t& n) { return AudioOut1FillBuffer(b, n); });
  AudioOut1->SetOnBufferPlayed([this](void* s) { AudioOut1BufferPlayed(s); });
  AudioOut1->SetOnRenderStopped([this](void* s) { AudioOut1RenderStopped(s); });
  AudioOut1->SetOnDeviceLost([this](void* s) { AudioOut1DeviceLost(s); });
  AudioOut1->SetOnDeviceBack([this](void* s) { AudioOut1DeviceBack(s); });
}

void TfrmGenerator::BindChannelHandlers() {
  AmplitudeLeft.OnExit = [this] { AmplitudeLeftExit(); };
  AmplitudeRight.OnExit = [this] { AmplitudeRightExit(); };
  AmplitudeLeft.OnChange = [this] { AmplitudeLeftChange(); };
  AmplitudeRight.OnChange = [this] { AmplitudeRightChange(); };
  barAmplitudeLeft.OnChange = [this] { barAmplitudeLeftChange(); };
  barAmplitudeRight.OnChange = [this] { barAmplitudeRightChange(); };
  ModDepthLeftEdit.OnExit = [this] { ModDepthLeftEditExit(); };
  ModDepthRightEdit.OnExit = [this] { ModDepthRightEditExit(); };
  ModDepthLeftEdit.OnChange = [this] { ModDepthLeftEditChange(); };
  ModDepthRightEdit.OnChange = [this] { ModDepthRightEditChange(); };
  ModPeriodLeftEdit.OnExit = [this] { ModPeriodLeftEditExit(); };
  ModPeriodRightEdit.OnExit = [this] { ModPeriodRightEditExit(); };
  ModPeriodLeftEdit.OnChange = [this] { ModPeriodLeftEditChange(); };
  ModPeriodRightEdit.OnChange = [this] { ModPeriodRightEditChange(); };
  ModPhaseLeftEdit.OnExit = [this] { ModPhaseLeftEditExit(); };
  ModPhaseRightEdit.OnExit = [this] { ModPhaseRightEditExit(); };
  ModPhaseLeftEdit.OnChange = [this] { ModPhaseLeftEditChange(); };
  ModPhaseRightEdit.OnChange = [this] { ModPhaseRightEditChange(); };
  ModulationOnLeft.OnClick = [this] { ModulationOnLeftClick(); };
  ModulationOnRight.OnClick = [this] { ModulationOnRightClick(); };
  txtFZeroL.OnExit = [this] { txtFZeroLExit(); };
  txtGainL.OnExit = [this] { txtGainLExit(); };
  txtQL.OnExit = [this] { txtQLExit(); };
  txtFZeroR.OnExit = [this] { txtFZeroRExit(); };
  txtGainR.OnExit = [this] { txtGainRExit(); };
  txtQR.OnExit = [this] { txtQRExit(); };
  cboFilterTypeL1.OnChange = [this] { cboFilterTypeL1Change(); };
  cboFilterTypeR1.OnChange = [this] { cboFilterTypeR1Change(); };
  Lefttick.OnClick = [this] { LefttickClick(); };
  RightTick.OnClick = [this] { LefttickClick(); };
  WaveFormLeft.OnChange = [this] { WaveFormLeftChange(); };
  ModFunctionLeft.OnChange = [this] { WaveFormLeftChange(); };
  WaveFormRight.OnChange = [this] { WaveFormRightChange(); };
  ModFunctionRight.OnChange = [this] { ModFunctionRightChange(); };
  cboCrestFactorL.OnChange = [this] { cboCrestFactorLChange(); };
  cboCrestFactorR.OnChange = [this] { cboCrestFactorRChange(); };
}

void TfrmGenerator::FillDeviceList() {
  WaveDevice.AddItem("System Default");
  const std::vector<std::string> names = FServices.WaveOut.DeviceNames();
  for (uint32_t i = 0; i < names.size(); ++i)
    WaveDevice.AddItem(DeviceListEntry(names[i], FServices.WaveOut.ChannelNames(i).size()));
  WaveDevice.SetItemIndex(0);
  AudioOut1->SetWaveDevice(static_cast<uint32_t>(WaveDevice.ItemIndex() - 1));
  FHasWaveDevice = !names.empty();
  if (!FHasWaveDevice) {
    FServices.Dialogs.ShowMessage("No Soundcard driver found. No sound output possible.");
    btnON.SetEnabled(false);
  }
}
