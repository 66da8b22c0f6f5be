#pragma once
// The receiver of one output run's device notifications. It reaches the
// component through the owner's variable, read anew for every notification.

#include "platform/WaveOutDevice.h"

class TAudioOut;

class TCallBackWinOut final : public TWaveOutTarget {
public:
  explicit TCallBackWinOut(TAudioOut** audioComponent) : AudioComponent(audioComponent) {}

  /// Runs the component's OnStart with this receiver as sender.
  void WomOpen() override;
  /// The completion step of the buffer cycle.
  void WomDone(TWaveHdr& header) override;
  /// Runs the component's OnStop with this receiver as sender.
  void WomClose() override;
  /// True once the close of its run has been handled.
  bool Closed() const { return FClosed; }

  TAudioOut** AudioComponent;

private:
  bool FClosed = false;
};
