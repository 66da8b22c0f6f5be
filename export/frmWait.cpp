#include "export/frmWait.h"

#include "app/frmGenerator.h"

namespace {
constexpr int kEscapeKey = 27;
}

TfrmWait::TfrmWait(TfrmGenerator& generator) : TForm("frmWait"), FGenerator(generator) {
  SetCaption("Kavelin");
  SetVisible(false);
  Label1.SetCaption("Please wait, generating and saving test tone...");
  ProgressBar1.SetRange(0, 100);
  btnCancel.SetCaption("Cancel");
  btnCancel.OnClick = [this] { btnCancelClick(); };
  FGenerator.frmWait = this;
}

TfrmWait::~TfrmWait() {
  if (FGenerator.frmWait == this) FGenerator.frmWait = nullptr;
}

void TfrmWait::btnCancelClick() { WaitCancel = true; }

void TfrmWait::FormKeyDown(int key) {
  if (key == kEscapeKey) btnCancel.Click();
}
