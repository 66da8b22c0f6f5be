#pragma once
// Colours a script as the runner reads it: the six command words in bold,
// the rest of a `rem` line as a comment, and the marks that stand for a CR
// inside a line in grey. The window marks the lines the runner stops at.

#include "engine/NumberFormat.h"

#include <QSyntaxHighlighter>

class TScriptHighlighter final : public QSyntaxHighlighter {
public:
  TScriptHighlighter(QTextDocument* document, TNumberFormat format);

protected:
  void highlightBlock(const QString& text) override;

private:
  TNumberFormat FFormat;
};
