#pragma once
// The user's number format, read from the desktop's locale once at start.

#include "engine/NumberFormat.h"

class QLocale;

/// The decimal separator of locale; one other than '.' or ',' counts as '.'.
TNumberFormat NumberFormatOf(const QLocale& locale);
