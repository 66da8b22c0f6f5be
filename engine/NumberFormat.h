#pragma once

/// The user's number format as far as the core needs it; the view reads it
/// from the locale once at start and hands it in.
struct TNumberFormat {
  char DecimalSeparator = '.';
};
