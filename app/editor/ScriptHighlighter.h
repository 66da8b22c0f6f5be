#pragma once
// Colours a script as the runner reads it: the six command words in bold,
// the rest of a `rem` line as a comment, and every line the runner would
// stop at underlined in red, with the reason as its tool tip.

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
