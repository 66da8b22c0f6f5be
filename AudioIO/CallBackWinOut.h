#pragma once
// The receiver of one output run's device notifications. It reaches the
// component through the owner's variable, read anew for every notification.

#include "platform/WaveOutDevice.h"

class TAudioOut;

class TCallBackWinOut final : public TWaveOutTarget {
public:
  explicit TCallBackWinOut(TAudioOut** audioComponent) : AudioComponent(audioComponent) {}

  /// Runs the component's OnStart with this receiver as sender, then lets the
  /// component report the buffers played meanwhile.
  void WomOpen() override;
  /// Runs the component's OnStop with this receiver as sender.
  void WomClose() override;
  /// Tells the component that its device is lost, or back.
  void WomLost() override;
  void WomBack() override;
  /// True once the open of its run has been handled.
  bool Opened() const { return FOpened; }
  /// True once the close of its run has been handled.
  bool Closed() const { return FClosed; }

  TAudioOut** AudioComponent;

private:
  bool FOpened = false;
  bool FClosed = false;
};
