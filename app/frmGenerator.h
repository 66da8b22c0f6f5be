#pragma once
// The generator's main window: every signal setting lives in one of its
// controls; its handlers keep the controls consistent and turn them into the
// engine's values, and drive the window's wave output.

#include "AudioIO/AudioOut.h"
#include "app/Controls.h"
#include "app/Form.h"
#include "app/GeneratorServices.h"
#include "app/ListItemLayout.h"
#include "app/ProductLinks.h"
#include "engine/GeneratorState.h"
#include "persistence/PresetFile.h"
#include "platform/Dialogs.h"
#include "script/ScriptRunner.h"
#include "sync/GeneratorBroadcast.h"
#include "sync/MessageOrder.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TfrmSettings;
class TRenderFeed;
class TSignalAnalysis;
class TIntervalTimer;
struct TGeneratorStatus;
class TfrmWait;
class TfrmScriptPopup;
class TGeneratorMessageHandler;
class TMessageTarget;
class TPerformanceTarget;
class TPerformanceTest;
class TReferenceOutput;
class TfrmReferenceNoise;
class TEventLog;
class TOutputEvents;
class TfrmEventLog;
struct TFieldRule;

class TfrmGenerator : public TForm {
public:
  /// Creates the window as the program starts it: lists filled with their
  /// pictures, first waveform and "Cosine" selected, the device list filled
  /// (a message and ON disabled when there is no device), and the welcome
  /// question asked unless the window is created for a batch run, which
  /// nobody may be there to answer.
  explicit TfrmGenerator(const TGeneratorServices& services, bool batch = false);
  ~TfrmGenerator() override;

  // ---- engine values and output ----
  GeneratorState State;
  /// The window's wave output component.
  TAudioOut* AudioOut1 = nullptr;
  /// The output settings window; set when it is created.
  TfrmSettings* frmSettings = nullptr;
  /// The wait window of the WAV export; set when it is created.
  TfrmWait* frmWait = nullptr;
  /// The four memory presets; preset n is Presets[n - 1].
  TPresetBank Presets;

  // ---- controls ----
  TGroupBox grpOutputDevice{this, "grpOutputDevice"};
  TComboBox WaveDevice{this, "WaveDevice"};
  TGroupBox grpPeriod{this, "grpPeriod"};
  TEdit Duration{this, "Duration"};
  TLabel lblDurationUnit{this, "lblDurationUnit"};
  TCheckBox Loop{this, "Loop"};
  TGroupBox grpChannels{this, "grpChannels"};
  TComboBox cboChannels{this, "cboChannels"};
  TCheckBox chkAsLeft{this, "chkAsLeft"};

  TGroupBox boxLeftAll{this, "boxLeftAll"};
  TCheckBox Lefttick{this, "Lefttick"};
  TLabel lblNoiseFunctionL{this, "lblNoiseFunctionL"};
  TComboBox WaveFormLeft{this, "WaveFormLeft"};
  TLabel lblPeakRMSratioL{this, "lblPeakRMSratioL"};
  TComboBox cboCrestFactorL{this, "cboCrestFactorL"};
  TGroupBox grpFilterL{this, "grpFilterL"};
  TComboBox cboFilterTypeL1{this, "cboFilterTypeL1"};
  TLabel lblFZeroL{this, "lblFZeroL"};
  TEdit txtFZeroL{this, "txtFZeroL"};
  TLabel lblHzL{this, "lblHzL"};
  TLabel lblGainL{this, "lblGainL"};
  TEdit txtGainL{this, "txtGainL"};
  TLabel lbldBL{this, "lbldBL"};
  TLabel lblQL{this, "lblQL"};
  TEdit txtQL{this, "txtQL"};
  TGroupBox grpAmplitudeL{this, "grpAmplitudeL"};
  TTrackBar barAmplitudeLeft{this, "barAmplitudeLeft"};
  TEdit AmplitudeLeft{this, "AmplitudeLeft"};
  TLabel lbldBFSL{this, "lbldBFSL"};
  TGroupBox grpModulationL{this, "grpModulationL"};
  TCheckBox ModulationOnLeft{this, "ModulationOnLeft"};
  TLabel lblFunctionL{this, "lblFunctionL"};
  TComboBox ModFunctionLeft{this, "ModFunctionLeft"};
  TLabel lblPeriodL{this, "lblPeriodL"};
  TEdit ModPeriodLeftEdit{this, "ModPeriodLeftEdit"};
  TLabel lblSecL{this, "lblSecL"};
  TLabel lblDepthL{this, "lblDepthL"};
  TEdit ModDepthLeftEdit{this, "ModDepthLeftEdit"};
  TLabel lblPercentL{this, "lblPercentL"};
  TLabel lblPhaseL{this, "lblPhaseL"};
  TEdit ModPhaseLeftEdit{this, "ModPhaseLeftEdit"};

  TGroupBox boxRightAll{this, "boxRightAll"};
  TCheckBox RightTick{this, "RightTick"};
  TLabel lblNoiseFunctionR{this, "lblNoiseFunctionR"};
  TComboBox WaveFormRight{this, "WaveFormRight"};
  TLabel lblPeakRMSratioR{this, "lblPeakRMSratioR"};
  TComboBox cboCrestFactorR{this, "cboCrestFactorR"};
  TGroupBox grpFilterR{this, "grpFilterR"};
  TComboBox cboFilterTypeR1{this, "cboFilterTypeR1"};
  TLabel lblFZeroR{this, "lblFZeroR"};
  TEdit txtFZeroR{this, "txtFZeroR"};
  TLabel lblHzR{this, "lblHzR"};
  TLabel lblGainR{this, "lblGainR"};
  TEdit txtGainR{this, "txtGainR"};
  TLabel lbldBR{this, "lbldBR"};
  TLabel lblQR{this, "lblQR"};
  TEdit txtQR{this, "txtQR"};
  TGroupBox grpAmplitudeR{this, "grpAmplitudeR"};
  TTrackBar barAmplitudeRight{this, "barAmplitudeRight"};
  TEdit AmplitudeRight{this, "AmplitudeRight"};
  TLabel lbldBFSR{this, "lbldBFSR"};
  TGroupBox grpModulationR{this, "grpModulationR"};
  TCheckBox ModulationOnRight{this, "ModulationOnRight"};
  TLabel lblFunctionR{this, "lblFunctionR"};
  TComboBox ModFunctionRight{this, "ModFunctionRight"};
  TLabel lblPeriodR{this, "lblPeriodR"};
  TEdit ModPeriodRightEdit{this, "ModPeriodRightEdit"};
  TLabel lblSecR{this, "lblSecR"};
  TLabel lblDepthR{this, "lblDepthR"};
  TEdit ModDepthRightEdit{this, "ModDepthRightEdit"};
  TLabel lblPercentR{this, "lblPercentR"};
  TLabel lblPhaseR{this, "lblPhaseR"};
  TEdit ModPhaseRightEdit{this, "ModPhaseRightEdit"};

  TGroupBox grpMemory{this, "grpMemory"};
  TButton Memory1{this, "Memory1"};
  TButton Memory2{this, "Memory2"};
  TButton Memory3{this, "Memory3"};
  TButton Memory4{this, "Memory4"};
  /// Name fields over the preset buttons, shown only while a name is edited.
  TEdit Mem1Edit{this, "Mem1Edit"};
  TEdit Mem2Edit{this, "Mem2Edit"};
  TEdit Mem3Edit{this, "Mem3Edit"};
  TEdit Mem4Edit{this, "Mem4Edit"};

  TButton btnOFF{this, "btnOFF"};
  TButton btnPause{this, "btnPause"};
  TButton btnON{this, "btnON"};
  TShape LED{this, "LED"};
  TCheckBox chkSync{this, "chkSync"};
  TLabel lblFS{this, "lblFS"};
  TLabel lblCredit{this, "lblCredit"};
  TLabel lblDropouts{this, "lblDropouts"};

  // ---- menus ----
  TMenuItem MainMenu1{this, "MainMenu1"};
  TMenuItem mnuFile{this, "mnuFile"};
  TMenuItem OpenNewGeneratorWindow1{this, "OpenNewGeneratorWindow1"};
  TMenuItem SaveToneAsWaveFile1{this, "SaveToneAsWaveFile1"};
  TMenuItem LoadPresets1{this, "LoadPresets1"};
  TMenuItem SavePresetsAs1{this, "SavePresetsAs1"};
  TMenuItem RunScript1{this, "RunScript1"};
  TMenuItem OpenScriptEditor1{this, "OpenScriptEditor1"};
  TMenuItem Exit1{this, "Exit1"};
  TMenuItem mnuPresets{this, "mnuPresets"};
  TMenuItem RecallPreset1{this, "RecallPreset1"};
  TMenuItem RecallPreset2{this, "RecallPreset2"};
  TMenuItem RecallPreset3{this, "RecallPreset3"};
  TMenuItem RecallPreset4{this, "RecallPreset4"};
  TMenuItem StorePreset1{this, "StorePreset1"};
  TMenuItem StorePreset2{this, "StorePreset2"};
  TMenuItem StorePreset3{this, "StorePreset3"};
  TMenuItem StorePreset4{this, "StorePreset4"};
  TMenuItem AutostartRecalledPresets1{this, "AutostartRecalledPresets1"};
  TMenuItem rESETTOdEFAULT1{this, "rESETTOdEFAULT1"};
  TMenuItem mnuTools{this, "mnuTools"};
  TMenuItem OutputSettings1{this, "OutputSettings1"};
  TMenuItem PerformanceTest1{this, "PerformanceTest1"};
  TMenuItem OFF1{this, "OFF1"};
  TMenuItem Pause1{this, "Pause1"};
  TMenuItem ON1{this, "ON1"};
  TMenuItem ONOFF2{this, "ONOFF2"};
  TMenuItem Response1{this, "Response1"};
  TMenuItem ReferenceNoise1{this, "ReferenceNoise1"};
  TMenuItem EventLog1{this, "EventLog1"};
  TMenuItem mnuHelp{this, "mnuHelp"};
  TMenuItem Help1{this, "Help1"};
  TMenuItem Emailtheauthor1{this, "Emailtheauthor1"};
  TMenuItem MoreAudioSoftware1{this, "MoreAudioSoftware1"};
  /// Right-click menu of the right channel's group box.
  TMenuItem mnuCopyLtoR{this, "mnuCopyLtoR"};
  TMenuItem CopySettingsfromleftChannel1{this, "CopySettingsfromleftChannel1"};
  /// Right-click menu of the left channel's group box.
  TMenuItem mnuCopyRtoL{this, "mnuCopyRtoL"};
  TMenuItem CopySettingsfromrightChannel1{this, "CopySettingsfromrightChannel1"};
  /// Right-click menus of the preset buttons: Store and Rename.
  TMenuItem mnuMemory1{this, "mnuMemory1"};
  TMenuItem Store{this, "Store"};
  TMenuItem Rename{this, "Rename"};
  TMenuItem mnuMemory2{this, "mnuMemory2"};
  TMenuItem Store2{this, "Store2"};
  TMenuItem Rename1{this, "Rename1"};
  TMenuItem mnuMemory3{this, "mnuMemory3"};
  TMenuItem Store3{this, "Store3"};
  TMenuItem Rename2{this, "Rename2"};
  TMenuItem mnuMemory4{this, "mnuMemory4"};
  TMenuItem Store4{this, "Store4"};
  TMenuItem Rename3{this, "Rename3"};
  /// Separators between the groups of the menus.
  TMenuItem N1{this, "N1"}, N2{this, "N2"}, N3{this, "N3"}, N4{this, "N4"}, N5{this, "N5"}, N6{this, "N6"},
      N7{this, "N7"}, N8{this, "N8"}, N9{this, "N9"};

  // ---- field validation and level (frmGeneratorLevels.cpp) ----
  /// Validates the level text, then moves the slider to match it.
  void AmplitudeLeftExit();
  void AmplitudeRightExit();
  /// Level gain from the text as typed; with "= Left" the right channel follows.
  void AmplitudeLeftChange();
  void AmplitudeRightChange();
  /// Writes the slider's level into the edit.
  void barAmplitudeLeftChange();
  void barAmplitudeRightChange();
  void DurationExit();

  // ---- modulation (frmGeneratorModulation.cpp) ----
  void ModDepthLeftEditExit();
  void ModDepthRightEditExit();
  void ModDepthLeftEditChange();
  void ModDepthRightEditChange();
  /// Period from the text, shown to 3 decimals; a period that is not above 0 becomes 1.
  void ModPeriodLeftEditExit();
  void ModPeriodRightEditExit();
  /// Period while typing; 0 while the output runs stops it and shows "1".
  void ModPeriodLeftEditChange();
  void ModPeriodRightEditChange();
  void ModPhaseLeftEditExit();
  void ModPhaseRightEditExit();
  void ModPhaseLeftEditChange();
  void ModPhaseRightEditChange();
  void ModulationOnLeftClick();
  void ModulationOnRightClick();

  // ---- channels and waveforms (frmGeneratorChannels.cpp) ----
  void cboChannelsChange();
  /// Channel mode as the settings load applies it (ignores "= Left", no colours).
  void monoClick();
  void chkAsLeftClick();
  /// Channel switches; both off stops the output and disables ON.
  void LefttickClick();
  /// Left waveform or left modulation function changed.
  void WaveFormLeftChange();
  void WaveFormRightChange();
  void ModFunctionRightChange();
  void cboCrestFactorLChange();
  void cboCrestFactorRChange();
  void LoopClick();

  // ---- filter (frmGeneratorFilter.cpp) ----
  /// Each filter field validates and then prepares.
  void txtFZeroLExit();
  void txtGainLExit();
  void txtQLExit();
  void txtFZeroRExit();
  void txtGainRExit();
  void txtQRExit();
  void cboFilterTypeL1Change();
  void cboFilterTypeR1Change();
  /// Turns the controls into the generator state and restarts the signal.
  /// Throws EConvertError at a duration or filter text that does not convert.
  void Preparevariables();
  /// Copies what the renderer reads live from the controls into State and publishes it.
  void SyncLiveSettings();
  /// Hands State to the output's render thread, which takes it at its next buffer.
  void PublishLiveSettings();

  // ---- window, labels and menus (frmGeneratorWindow.cpp) ----
  /// Caption "Zephyra" and the sample-rate label.
  void FormActivate();
  /// The sample-rate label shows the rate in use ("fs=44.1kHz").
  void ShowSampleRate();
  void lblFSClick();
  void lblPeakRMSratioLClick();
  void Image1Click();
  /// Hover style of a link label: blue and underlined on enter, black on leave.
  void lblPeakRMSratioLMouseEnter(TLabel& sender);
  void lblPeakRMSratioLMouseLeave(TLabel& sender);
  /// Where the item of an owner-drawn list goes; list is one of the five lists.
  TItemLayout DrawItemLayout(const TCustomList& list, int32_t index, const TItemRect& rect,
                             int32_t pictureWidth) const;
  void OpenNewGeneratorWindow1Click();
  void OpenScriptEditor1Click();
  void Exit1Click();
  void OutputSettings1Click();
  void Help1Click();
  /// Opens the Response window, or closes it when it is open.
  void Response1Click();
  /// F1 in the Response window.
  void ResponseHelpKey();
  void Emailtheauthor1Click();
  void MoreAudioSoftware1Click();
  /// The addresses the link commands open (set by the build; tests change them).
  TProductLinks Links = BuildLinks();
  /// Ctrl+Ins in the window: the ON/OFF toggle, unless the desktop-wide key
  /// is grabbed, which has toggled already.
  void ONOFF2ShortCut();
  /// The ON/OFF Toggle item says whether Ctrl+Ins reaches the generator from
  /// the whole desktop or only from its own windows.
  void ShowHotKeyReach();
  /// Stops the output and closes the window.
  void Close();
  TEvent OnClose;

  // ---- playback (playback/frmGeneratorPlayback.cpp) ----
  /// Prepares and starts the output unless it runs; the focus then goes to OFF.
  void startsignal();
  void btnONClick();
  void btnOFFClick();
  void btnPauseClick();
  /// OFF when the output is active, otherwise ON.
  void ONOFF2Click();
  void AudioOut1Start(void* sender);
  void AudioOut1Stop(void* sender);
  /// The output's fill event, on the output's render thread: renders from
  /// the feed's state, never from State or the controls.
  bool AudioOut1FillBuffer(uint8_t* buffer, int32_t& size);
  /// The device has played further buffers: the meter, the dropout count,
  /// and a fill's performance issue.
  void AudioOut1BufferPlayed(void* sender);
  /// The render thread has ended: what the run moved on (the random
  /// generator above all) comes back into State, so later runs go on from there.
  void AudioOut1RenderStopped(void* sender);
  /// The output's device went away while playing: the lamp turns amber and
  /// the meter row says since when; the output stays on and waits for it.
  void AudioOut1DeviceLost(void* sender);
  /// The lost device plays again: the lamp turns green, the row shows the dropouts.
  void AudioOut1DeviceBack(void* sender);
  /// The state the output renders from (State is the window's own); touch it
  /// only while the output does not render.
  GeneratorState& RenderState();
  void WaveDeviceChange();

  // ---- reference noise (playback/frmGeneratorReference.cpp) ----
  /// The reference noise window of the Tools menu; it plays through AudioOut1.
  TfrmReferenceNoise& ReferenceNoise() const { return *FReferenceNoise; }
  /// The output's event log, and what the output tells it (DeviceLost and DeviceBack of a run).
  TEventLog& EventLog() const { return *FEventLog; }
  TOutputEvents& OutputEvents() const { return *FOutputEvents; }
  TfrmEventLog& EventLogWindow() const { return *FEventLogWindow; }
  /// The output started or stopped: the reference noise window follows.
  void ReferenceOutputChanged();

  // ---- synchronisation and remote control (playback/frmGeneratorMessages.cpp, sync/) ----
  void chkSyncClick();
  /// Sends BroadcastMessage with the parameters to every generator, after
  /// any message or broadcast in progress; nothing while this window handles
  /// another generator's broadcast.
  void BroadcastToGenerators(uint32_t wParam, int32_t lParam);
  /// A generator message as the bus or the window's own broadcast delivers
  /// it: one from outside runs after any message in progress.
  void ReceiveMessage(uint32_t number, uint32_t wParam, int32_t lParam, TDelivery delivery);
  /// A generator message handled now (sync/GeneratorMessages.h); an error
  /// ends the message with the standard error box.
  void WndProc(uint32_t number, uint32_t wParam, int32_t lParam);
  /// Replaces the in-process broadcast (a bus that reaches other instances).
  void SetBroadcast(std::unique_ptr<TGeneratorBroadcast> broadcast);
  /// The screensaver hold-off: held while the output is active and "Disable
  /// Screensaver when active" is ticked, released as soon as either stops.
  void AppMessage();

  // ---- reset and channel copy (persistence/frmGeneratorReset.cpp) ----
  void rESETTOdEFAULT1Click();
  /// Right channel := left channel (not the filter).
  void CopySettingsfromleftChannel1Click();
  /// Left channel := right channel (not the filter).
  void CopySettingsfromrightChannel1Click();

  // ---- memory presets and preset files (persistence/frmGeneratorPresets.cpp) ----
  /// Copies the controls into preset n (1..4); the name stays. Other n: nothing.
  void MemStore(int n);
  /// Applies preset n (1..4) to the controls, stopping the output first;
  /// presses ON afterwards when "Autostart Recalled Presets" is checked.
  void MemRecall(int n);
  /// Begins renaming preset n: its button goes blank and its name field opens.
  void RenameClick(int n);
  /// Finishes renaming preset n: caption and name take the field's text.
  void Mem1EditExit(int n);
  /// Enter (13) in a name field finishes the rename.
  void Mem1EditKeyPress(int n, int key);
  void AutostartRecalledPresets1Click();
  /// Every preset := the controls, names "Memory 1".."Memory 4".
  void InitMemoryPresets();
  /// Loads a preset file into the four presets and the button captions.
  /// Returns what the file held: false (nothing changed) when the header does
  /// not match. Throws TFileError when the file cannot be read.
  TPresetImageCheck LoadSettings(const std::string& fileName);
  /// LoadSettings, telling the user when the file is no preset file (nothing
  /// changed) or a truncated one (loaded as far as it reaches). False when
  /// nothing was loaded.
  bool LoadSettingsReporting(const std::string& fileName);
  /// Loads the examples file from folder; a missing or unreadable one is
  /// ignored, a damaged one reported.
  void LoadExamplePresets(const std::string& folder);
  /// The start-up loads by the first command-line argument: the examples when
  /// it has no full stop; an existing file whose name contains ".zep". False
  /// (reported) when that file cannot be read or is no preset file, which
  /// ends the program.
  bool LoadStartupPresets(const std::string& firstArgument, const std::string& programFolder);
  void LoadPresets1Click();
  void SavePresetsAs1Click();

  // ---- settings store (persistence/frmSettingsStore.cpp) ----
  /// Applies the stored generator values; any failure ends in the reset.
  void LoadGeneratorSettings();
  /// Writes the generator values; throws TSettingsError when they cannot be stored.
  void StoreGeneratorSettings();

  // ---- WAV export (export/frmGeneratorExport.cpp) ----
  enum class TWaveWriteOutcome { Written, Cancelled, Failed };
  /// The CD-format hint, then the save dialog and the export of one pass.
  void SaveWaveFile1Click();
  /// One pass of the signal with Loop off (restored after): stops the output,
  /// prepares, then writes to the file chooseFile names (none: cancelled).
  TWaveWriteOutcome ExportSignal(const std::function<std::optional<std::string>()>& chooseFile);
  /// Writes one pass of the freshly prepared signal to fileName, with the
  /// wait window's progress and Cancel; reports its own errors.
  TWaveWriteOutcome WriteWaveData(const std::string& fileName);
  /// Samples the store step saturated in the last export, left and right (0 in mono).
  std::array<int64_t, 2> LastExportClipped() const { return FExportClipped; }
  /// The suppressible question of the settings store's value valueName:
  /// None without asking when that value exists; a ticked box stores it.
  TModalResult ShowSuppressibleHint(const std::string& message, const std::string& caption,
                                    const std::string& valueName, TMsgButtons buttons);
  /// The first-run question; Yes opens the introduction.
  void AskWelcomeQuestion();

  // ---- performance test (perftest/frmGeneratorPerformance.cpp) ----
  /// "Performance Test" of the Tools menu: the guided test of perftest/.
  void PerformanceTest1Click();

  // ---- scripts (script/frmGeneratorScript.cpp) ----
  /// The progress window of script runs; set when it is created.
  TfrmScriptPopup* frmScriptPopup = nullptr;
  /// Runs a script file to its end (TScriptRunner); reports its own errors.
  TScriptOutcome Runscript(const std::string& fileName);
  /// Stops the output, asks for a script file and runs it.
  void RunScript1Click();
  /// Runs a script file with the main window hidden, as the program does when
  /// started with a script; returns the program's exit status (0, 1, 3 or 4).
  int RunBatchScript(const std::string& fileName);
  /// Tests only: how long a script play waits for a lost device (30 s otherwise).
  void SetScriptDeviceWaitMs(int ms);

  /// The level meter and the Response window's figures of this window's output.
  TSignalAnalysis& Analysis() const { return *FAnalysis; }
  /// What the bus's Status() answers: output, format and meter (app/frmGeneratorStatus.cpp).
  TGeneratorStatus Status() const;

  const TGeneratorServices& Services() const { return FServices; }
  /// A wave output device existed at start-up.
  bool HasWaveDevice() const { return FHasWaveDevice; }

private:
  void CreateControls();
  void CreateChannelControls();
  void CreateMenus();
  void CreatePresetControls();
  /// Preset button, name field and the name of preset n (1..4).
  TButton& PresetButton(int n);
  TEdit& PresetNameEdit(int n);
  void ApplyPresetChannels(const TPresetValues& v);
  void ApplyPresetFilters(const TPresetValues& v);
  /// Shows the wait window and disables this one; undone by EndWaitWindow.
  void BeginWaitWindow();
  void EndWaitWindow();
  void BindHandlers();
  void BindChannelHandlers();
  void FillDeviceList();
  /// "Stereo" selected and "= Left" not ticked.
  bool RightChannelFree() const;
  /// Enables the level fields the output does not lock; the right one also by free.
  void ApplyLevelEnabling(bool rightFree);
  /// Locks or unlocks the controls a running output must not change.
  void LockOutputControls(bool locked);
  void CrestFactorReaction(ChannelSettings& channel, const TComboBox& waveForm, const TComboBox& crest);
  void ModPeriodExit(TEdit& edit, ChannelSettings& channel);
  void ModPeriodChange(TEdit& edit, ChannelSettings& channel);
  void AmplitudeExit(TEdit& edit, TTrackBar& bar);
  void AmplitudeChange(const TEdit& edit, ChannelSettings& channel);
  void FilterFieldExit(TEdit& edit, const TFieldRule& rule);
  void FilterTypeChange(const TComboBox& type, TEdit& q);
  void ShowStartFailure();
  /// "Dropouts: N" of the last start, red when there was one.
  void ShowDropouts();
  void ShowPerformanceIssue();
  /// Opens url, or the local help topic when no address is configured.
  void OpenLink(const std::string& url, int localTopic);
  /// Pause := not Pause; the Pause caption is bold while paused.
  void TogglePause();
  /// Sample width for preparation from the quantisation list, while stopped.
  void ReadSampleWidth();

  TGeneratorServices FServices;
  std::unique_ptr<TAudioOut> FAudioOut;
  // ---- generator messages (playback/frmGeneratorMessages.cpp) ----
  friend class TWindowMessageTarget;
  void CreateMessageHandling();
  std::unique_ptr<TMessageTarget> FMessageTarget;
  std::unique_ptr<TGeneratorMessageHandler> FMessageHandler;
  std::unique_ptr<TGeneratorBroadcast> FBroadcast;
  TMessageOrder FMessageOrder;
  bool FHandlingBroadcast = false;  // a change made now is not broadcast again
  int FMessageDepth = 0;            // messages being handled; more than one is a fault
  // ---- performance test (perftest/frmGeneratorPerformance.cpp) ----
  friend class TWindowPerformanceTarget;
  std::unique_ptr<TPerformanceTarget> FPerformanceTarget;
  std::unique_ptr<TPerformanceTest> FPerformanceTest;
  // ---- reference noise (playback/frmGeneratorReference.cpp) ----
  friend class TWindowReferenceOutput;
  void CreateReferenceNoise();
  void CreateEventLog();
  bool FHasWaveDevice = false;
  bool FOutputLocked = false;
  std::unique_ptr<TSignalAnalysis> FAnalysis;
  std::unique_ptr<TRenderFeed> FFeed;
  /// While nothing plays, the meter falls as with silence (playback/frmGeneratorPlayback.cpp).
  void StartMeterFall();
  void MeterFallTick(uint64_t intervals);
  std::unique_ptr<TIntervalTimer> FMeterFall;
  std::array<int64_t, 2> FExportClipped{};
  std::unique_ptr<TReferenceOutput> FReferenceOutput;
  std::unique_ptr<TfrmReferenceNoise> FReferenceNoise;
  std::unique_ptr<TEventLog> FEventLog;
  std::unique_ptr<TOutputEvents> FOutputEvents;
  std::unique_ptr<TfrmEventLog> FEventLogWindow;
  bool FPreparing = false;  // live publications wait for the prepared state

  // ---- window view rules ----
  bool FClosed = false;

  // ---- scripts (script/frmGeneratorScript.cpp) ----
  /// Created at the first script run.
  TScriptRunner& ScriptRunner();
  std::unique_ptr<TScriptRunner> FScriptRunner;
};
