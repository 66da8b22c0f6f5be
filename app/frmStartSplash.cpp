#include "app/frmStartSplash.h"

#include "app/ProductTexts.h"
#include "platform/MessageLoop.h"

#include <string>

namespace {

constexpr int FadeSteps = 15;
constexpr int FadeStepMs = 20;
constexpr int HoldSteps = 7;
constexpr int HoldStepMs = 50;

void Wait(TMessageLoop& loop, int ms) {
  loop.Sleep(ms);
  loop.ProcessMessages();
}

}  // namespace

TfrmStartSplash::TfrmStartSplash() : TForm("frmStartSplash") {
  SetVisible(false);
  Label1.SetCaption(std::string(ProductName) + " " + ProductVersion);
}

void TfrmStartSplash::SetAlphaBlendValue(uint8_t value) { Assign(FAlphaBlendValue, value); }

void TfrmStartSplash::FadeIn(TMessageLoop& loop) {
  if (!FBlended) SetAlphaBlendValue(255);
  SetVisible(true);
  for (int step = 1; FBlended && step <= FadeSteps; ++step) {
    SetAlphaBlendValue(static_cast<uint8_t>(step * 16));
    Wait(loop, FadeStepMs);
  }
  for (int step = 0; step < HoldSteps; ++step) Wait(loop, HoldStepMs);
}

void TfrmStartSplash::FadeOut(TMessageLoop& loop) {
  for (int step = 1; FBlended && step <= FadeSteps; ++step) {
    SetAlphaBlendValue(static_cast<uint8_t>(256 - step * 16));
    Wait(loop, FadeStepMs);
  }
  SetVisible(false);
}
