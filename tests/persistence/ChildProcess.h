#pragma once
// Helpers for tests that run their action in a forked child (GoogleTest death
// tests): a watchdog that ends a child whose action blocks, and dropping
// root's rights so that file permissions bind when the tests run as root.
// Children leave with std::_Exit, which skips exit handlers (and with them a
// sanitizer's leak check of the whole test program).

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

/// Ends this process by SIGALRM after seconds: an action that blocks fails
/// its test instead of hanging it. No time is asserted; the limit is generous.
inline void Watchdog(unsigned seconds = 60) { ::alarm(seconds); }

/// Drops root's rights (to the unprivileged "nobody" id), so that permission
/// bits bind; as an ordinary user it changes nothing. Exits with 3 when it fails.
inline void DropRootRights() {
  if (::geteuid() == 0 && (::setegid(65534) != 0 || ::seteuid(65534) != 0)) std::_Exit(3);
}

/// Writes text to stderr and leaves the child: 0 when ok, 1 otherwise.
[[noreturn]] inline void ExitChild(bool ok, const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::_Exit(ok ? 0 : 1);
}
