#pragma once
// Colours and fonts of the control objects as Qt sees them.

#include "app/Controls.h"

#include <QColor>

class QWidget;

/// The colour c; a desktop colour resolves through widget's palette.
QColor QtColor(TColor c, const QWidget& widget);
/// Applies font's style and colour to widget; clWindowText restores the
/// desktop's own colour, and a disabled widget keeps the desktop's grey.
void ApplyFont(const TFont& font, QWidget& widget);
