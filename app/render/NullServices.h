#pragma once
// Services of a program without display and sound device: no device, no
// desktop, and dialogs that print their messages to a stream.

#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/Shell.h"
#include "platform/WaveOutDevice.h"

#include <ostream>
#include <string>

/// Messages and errors become one line each on the stream, after the program
/// name; questions are answered No without being shown, file dialogs are cancelled.
class TStreamDialogs final : public TDialogs {
public:
  /// stream must outlive the dialogs.
  TStreamDialogs(std::ostream& stream, std::string program) : FStream(stream), FProgram(std::move(program)) {}

  void ShowMessage(const std::string& text) override { Print(text); }
  void ShowError(const std::string& text) override { Print(text); }
  TModalResult SuppressibleQuestion(const std::string&, const std::string&, TMsgButtons,
                                    bool& dontShowAgain) override;
  /// Printed like a message and answered Cancel or No.
  TModalResult Confirm(const std::string& text, TMsgButtons buttons, int) override {
    Print(text);
    return buttons == TMsgButtons::YesNo ? TModalResult::No : TModalResult::Cancel;
  }
  std::optional<std::string> OpenFileName(const TFileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const TFileDialogOptions&) override { return std::nullopt; }

  /// While quiet, messages are dropped (the windows' start-up notes about a missing device).
  bool Quiet = false;

private:
  void Print(const std::string& text);

  std::ostream& FStream;
  std::string FProgram;
};

class TNullShell final : public TShell {
public:
  void OpenUrl(const std::string&) override {}
  void StartProgram(const std::string&, const std::vector<std::string>&) override {}
  void ShowHelp(int) override {}
};

/// A machine without output devices: the list is empty and every open fails.
class TNullWaveOutDevice final : public TWaveOutDevice {
public:
  int WakeDescriptor() const override { return -1; }
  void Dispatch() override {}
  std::vector<std::string> DeviceNames() override { return {}; }
  TMMResult Open(TWaveHandle&, uint32_t, const TWaveFormatEx&, uint32_t, TWaveOutTarget&, TOutputChannels) override {
    return MMSYSERR_BADDEVICEID;
  }
  TMMResult Prepare(TWaveHandle, TWaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  TMMResult Write(TWaveHandle, TWaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  TMMResult Pause(TWaveHandle) override { return MMSYSERR_INVALHANDLE; }
  TMMResult Restart(TWaveHandle) override { return MMSYSERR_INVALHANDLE; }
  TMMResult Reset(TWaveHandle) override { return MMSYSERR_INVALHANDLE; }
  TMMResult Unprepare(TWaveHandle, TWaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  TMMResult Close(TWaveHandle) override { return MMSYSERR_INVALHANDLE; }
  TMMResult GetPosition(TWaveHandle, uint32_t&) override { return MMSYSERR_INVALHANDLE; }
  TWaveHdr* TakeReturned(TWaveHandle) override { return nullptr; }
  int ReturnDescriptor() const override { return -1; }
  TUnderruns Underruns(TWaveHandle) override { return {}; }
  void Drain(TWaveHandle, const std::atomic<bool>&) override {}
  std::string ErrorText(TMMResult) override { return "No sound device."; }
  void DropNotifications(TWaveOutTarget&) override {}
};

/// A loop that handles messages through another but never sleeps: without a
/// display or a sound device there is nothing to wait for.
class TNoWaitMessageLoop final : public TMessageLoop {
public:
  /// loop must outlive this one.
  explicit TNoWaitMessageLoop(TMessageLoop& loop) : FLoop(loop) {}
  void ProcessMessages() override { FLoop.ProcessMessages(); }
  void Sleep(int) override {}
  void Post(std::function<void()> call) override { FLoop.Post(std::move(call)); }
  void AddSource(TMessageSource& source) override { FLoop.AddSource(source); }
  void RemoveSource(TMessageSource& source) override { FLoop.RemoveSource(source); }

private:
  TMessageLoop& FLoop;
};
