#pragma once
// A D-Bus session bus of the test's own: a dbus-daemon started for the test
// and ended with it, so that bus tests need no desktop session.

#include <string>
#include <sys/types.h>

class TPrivateSessionBus {
public:
  /// Starts dbus-daemon --session; Address() is empty when it could not start.
  TPrivateSessionBus();
  /// Ends the daemon.
  ~TPrivateSessionBus();
  TPrivateSessionBus(const TPrivateSessionBus&) = delete;
  TPrivateSessionBus& operator=(const TPrivateSessionBus&) = delete;

  /// The bus address, as DBUS_SESSION_BUS_ADDRESS takes it.
  const std::string& Address() const { return FAddress; }

private:
  pid_t FPid = -1;
  std::string FAddress;
};
