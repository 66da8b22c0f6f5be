#pragma once
// A D-Bus session bus of the test's own: a dbus-daemon started for the test
// and ended with it, so that bus tests need no desktop session.

#include "tests/fakes/ServerProcess.h"

#include <string>

class TPrivateSessionBus {
public:
  /// Address() is empty when the daemon could not start.
  TPrivateSessionBus() : FDaemon({"dbus-daemon", "--session", "--nofork", "--print-address=1"}) {}

  /// The bus address, as DBUS_SESSION_BUS_ADDRESS takes it.
  const std::string& Address() const { return FDaemon.FirstLine(); }

private:
  TServerProcess FDaemon;
};
