#pragma once
// The one QApplication of the Qt test program, created on first use.

class QApplication;

/// The test program's application object; created once, never destroyed.
QApplication& TestApplication();
