#include "app/Application.h"

#include "app/ProductTexts.h"
#include "platform/Dialogs.h"

#include <utility>

TApplication::TApplication(TDialogs& dialogs) : FDialogs(dialogs), FTitle(ProductName) {}

void TApplication::SetTitle(const std::string& value) {
  if (FTitle == value) return;
  FTitle = value;
  for (const auto& o : FObservers) o();
}

void TApplication::BringToFront() {
  if (OnBringToFront) OnBringToFront();
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  if (OnTerminate) OnTerminate();
}

void TApplication::Perform(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    HandleException(e);
  }
}

void TApplication::HandleException(const std::exception& e) { FDialogs.ShowError(e.what()); }

void TApplication::AddObserver(TObserver observer) { FObservers.push_back(std::move(observer)); }
