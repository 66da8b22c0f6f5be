#include "script/frmScriptPopup.h"

#include "app/Application.h"
#include "app/frmGenerator.h"
#include "platform/Shell.h"

namespace {
constexpr int kF1Key = 112;
constexpr int kScriptsHelpContext = 4;
}  // namespace

TfrmScriptPopup::TfrmScriptPopup(TfrmGenerator& generator) : TForm("frmScriptPopup"), FGenerator(generator) {
  SetCaption("ZEP Script");
  SetVisible(false);
  HelpContext = kScriptsHelpContext;
  Button1.SetCaption("Cancel");
  Button1.OnClick = [this] { Button1Click(); };
  Button2.SetCaption("Next");
  Button2.OnClick = [this] { Button2Click(); };
  FGenerator.frmScriptPopup = this;
}

TfrmScriptPopup::~TfrmScriptPopup() {
  if (FGenerator.frmScriptPopup == this) FGenerator.frmScriptPopup = nullptr;
}

void TfrmScriptPopup::Show() {
  NextPressed = false;
  SetVisible(true);
  FormShow();
}

void TfrmScriptPopup::Hide() {
  if (!Visible()) return;
  SetVisible(false);
  FormHide();
}

void TfrmScriptPopup::FormShow() { SetCaption("ZEP Script"); }

void TfrmScriptPopup::FormHide() { FGenerator.SetEnabled(true); }

void TfrmScriptPopup::Button1Click() { Hide(); }

void TfrmScriptPopup::Button2Click() {
  FGenerator.Services().Application.SignalBusy = false;
  NextPressed = true;
  Hide();
}

void TfrmScriptPopup::FormKeyDown(int key) {
  if (key == kF1Key) FGenerator.Services().Shell.ShowHelp(HelpContext);
}
