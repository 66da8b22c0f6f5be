#pragma once
// The generator's Status() on D-Bus: the status as the dictionary a{sv}
// that the bus answers, and back into ordered fields for printing.

#include "sync/GeneratorStatus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantMap>

/// Booleans as b, 32-bit numbers as i, 64-bit as x, levels as d.
QVariantMap StatusMap(const TGeneratorStatus& status);

/// The fields of a Status() reply in their fixed order; an empty list when
/// the reply carries no dictionary.
TStatusFields StatusFieldsOf(const QDBusMessage& reply);

/// Calls Status() on service and returns the reply or the error; mode
/// BlockWithGui serves incoming calls while it waits.
QDBusMessage CallStatus(const QDBusConnection& connection, const QString& service, int timeoutMs,
                        QDBus::CallMode mode = QDBus::Block);
