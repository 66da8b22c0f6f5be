#pragma once
// The screensaver hold-off on the desktop's org.freedesktop.ScreenSaver
// service: Inhibit while held, UnInhibit on release and when this object
// goes with the program. Every call is sent without waiting, so a service
// that hangs holds nothing up; a hold granted after it was given back (or
// after this object went) is given back as soon as its answer arrives. A
// desktop without the service holds nothing and says nothing. GUI thread only.

#include "platform/ScreenSaver.h"

#include <QDBusConnection>
#include <QString>

#include <cstdint>
#include <memory>

class TDBusScreenSaver final : public TScreenSaver {
public:
  /// connection: the session bus (or a test's bus); application: the name
  /// the desktop shows for the hold; an Inhibit that gets no answer within
  /// timeoutMs counts as a desktop without the service.
  TDBusScreenSaver(QDBusConnection connection, QString application, int timeoutMs = 25000);
  /// Gives a hold back without waiting; one still asked for is given back when granted.
  ~TDBusScreenSaver() override;
  TDBusScreenSaver(const TDBusScreenSaver&) = delete;
  TDBusScreenSaver& operator=(const TDBusScreenSaver&) = delete;

  /// Asks for the hold unless it is held or asked for already.
  void Hold() override;
  void Release() override;
  /// The service granted the hold and it has not been given back.
  bool Held() const;

private:
  /// Shared with the answer of a pending Inhibit, which may outlive this object.
  struct THold {
    bool Wanted = false;
    bool Pending = false;
    bool Held = false;
    uint32_t Cookie = 0;
  };

  QDBusConnection FConnection;
  QString FApplication;
  int FTimeoutMs;
  std::shared_ptr<THold> FHold = std::make_shared<THold>();
};
