#pragma once
// The screensaver hold-off on the desktop's org.freedesktop.ScreenSaver
// service: Inhibit while held, UnInhibit on release and when this object
// goes with the program. A desktop without the service holds nothing and
// says nothing. GUI thread only.

#include "platform/ScreenSaver.h"

#include <QDBusConnection>
#include <QString>

#include <cstdint>

class TDBusScreenSaver final : public TScreenSaver {
public:
  /// connection: the session bus (or a test's bus); application: the name
  /// the desktop shows for the hold; a call that gets no answer within
  /// timeoutMs counts as a desktop without the service.
  TDBusScreenSaver(QDBusConnection connection, QString application, int timeoutMs = 5000);
  ~TDBusScreenSaver() override;
  TDBusScreenSaver(const TDBusScreenSaver&) = delete;
  TDBusScreenSaver& operator=(const TDBusScreenSaver&) = delete;

  void Hold() override;
  void Release() override;
  /// The service granted the hold and it has not been given back.
  bool Held() const { return FHeld; }

private:
  QDBusConnection FConnection;
  QString FApplication;
  int FTimeoutMs;
  bool FHeld = false;
  uint32_t FCookie = 0;
};
