// Window activation, link labels, owner-drawn lists and the plain menu commands.

#include "app/frmGenerator.h"

#include "analysis/SignalAnalysis.h"
#include "app/Application.h"
#include "app/HelpTopics.h"
#include "app/ProductTexts.h"
#include "engine/Numbers.h"
#include "platform/SettingsStore.h"
#include "platform/HotKey.h"
#include "platform/Shell.h"
#include "playback/frmSettings.h"

#include <string>

void TfrmGenerator::FormActivate() {
  SetCaption(ProductName);
  ShowSampleRate();
}

void TfrmGenerator::ShowSampleRate() {
  lblFS.SetCaption("fs=" + FloatToStrGeneral(State.sampleRate / 1000.0L, FServices.Format) + "kHz");
}

void TfrmGenerator::lblFSClick() { OutputSettings1Click(); }
void TfrmGenerator::lblPeakRMSratioLClick() { OpenLink(Links.RmsReferenceUrl, HelpContextCrestFactor); }
void TfrmGenerator::Image1Click() { OpenLink(Links.MakerUrl, HelpContextIntroduction); }

void TfrmGenerator::OpenLink(const std::string& url, int localTopic) {
  if (url.empty())
    FServices.Shell.ShowHelp(localTopic);
  else
    FServices.Shell.OpenUrl(url);
}

void TfrmGenerator::lblPeakRMSratioLMouseEnter(TLabel& sender) {
  sender.SetFont({.Bold = false, .Underline = true, .Color = clBlue});
}

void TfrmGenerator::lblPeakRMSratioLMouseLeave(TLabel& sender) {
  sender.SetFont({.Bold = false, .Underline = false, .Color = clBlack});
}

TItemLayout TfrmGenerator::DrawItemLayout(const TCustomList& list, int32_t index, const TItemRect& rect,
                                          int32_t pictureWidth) const {
  TOwnerDrawnList kind = TOwnerDrawnList::WaveForm;
  if (&list == &ModFunctionLeft || &list == &ModFunctionRight) kind = TOwnerDrawnList::ModFunction;
  if (&list == &cboChannels) kind = TOwnerDrawnList::Channels;
  return LayoutListItem(kind, rect, list.ItemImage(index), pictureWidth);
}

void TfrmGenerator::OpenNewGeneratorWindow1Click() {
  if (!FServices.Application.ExeName.empty())
    FServices.Shell.StartProgram(FServices.Application.ExeName, {"/nosplash"});
}

void TfrmGenerator::OpenScriptEditor1Click() {
  const std::string& exe = FServices.Application.ExeName;
  FServices.Shell.StartProgram(exe.substr(0, exe.find_last_of('/') + 1) + ScriptEditorProgram, {});
}

void TfrmGenerator::Exit1Click() { Close(); }

void TfrmGenerator::Close() {
  // The program ends with the first close; a second one stores nothing.
  if (FClosed) return;
  FClosed = true;
  if (FServices.HotKey) FServices.HotKey->Unregister();
  AudioOut1->StopAtOnce();
  if (FScriptRunner) FScriptRunner->Abandon();
  // A settings store that cannot be written is reported; it never keeps the window open.
  try {
    StoreGeneratorSettings();
  } catch (const TSettingsError& e) {
    const std::string kept = FServices.Settings.KeptFileReport();
    FServices.Application.HandleException(kept.empty() ? e : TSettingsError(kept));
  }
  if (OnClose) OnClose();
  SetVisible(false);
  FServices.Application.Terminate();
}

void TfrmGenerator::OutputSettings1Click() {
  FServices.Application.HelpFile = HelpFolder;
  AudioOut1->StopAtOnce();
  if (frmSettings) frmSettings->Show();
}

void TfrmGenerator::Help1Click() { FServices.Shell.ShowHelp(HelpContextMainWindow); }
void TfrmGenerator::ResponseHelpKey() { FServices.Shell.ShowHelp(HelpContextResponse); }

void TfrmGenerator::Response1Click() {
  if (FAnalysis->ResponseVisible())
    FAnalysis->HideResponse();
  else
    FAnalysis->ShowResponse();
}

void TfrmGenerator::Emailtheauthor1Click() {
  // Without an address the mail program asks the user for the recipient.
  FServices.Shell.OpenUrl("mailto:" + Links.FeedbackAddress + "?subject=" + ProductName + "%20V" + ProductVersion +
                          "%20feedback");
}

void TfrmGenerator::MoreAudioSoftware1Click() { OpenLink(Links.MakerUrl, HelpContextIntroduction); }

void TfrmGenerator::ONOFF2ShortCut() {
  if (FServices.HotKey && FServices.HotKey->Active()) return;
  ONOFF2Click();
}

void TfrmGenerator::ShowHotKeyReach() {
  const bool desktopWide = FServices.HotKey && FServices.HotKey->Active();
  ONOFF2.SetCaption(desktopWide ? "ON/OFF Toggle" : "ON/OFF Toggle (in Zephyra's windows only)");
}

void TfrmGenerator::AskWelcomeQuestion() {
  if (ShowSuppressibleHint("Welcome to Zephyra! Would you like to see the introduction to this program?",
                           "Welcome", "Welcome", TMsgButtons::YesNo) == TModalResult::Yes)
    FServices.Shell.ShowHelp(HelpContextIntroduction);
}
