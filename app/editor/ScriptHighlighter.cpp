#include "app/editor/ScriptHighlighter.h"

#include "script/EditableScript.h"
#include "script/ScriptMarks.h"

#include <QTextCharFormat>
#include <QTextDocument>

TScriptHighlighter::TScriptHighlighter(QTextDocument* document, TNumberFormat format)
    : QSyntaxHighlighter(document), FFormat(format) {}

void TScriptHighlighter::highlightBlock(const QString& text) {
  const QByteArray shown = text.toUtf8();
  const std::string line = LineBytesOf({shown.constData(), static_cast<size_t>(shown.size())});
  const TScriptLineMarks marks = MarkScriptLine(line, currentBlock().blockNumber() + 1, FFormat);
  // Positions in the block count UTF-16 units; the marks count UTF-8 bytes.
  // A command word holds no CR, so its bytes are the same shown or read.
  const auto command =
      static_cast<int>(QString::fromUtf8(line.data(), static_cast<qsizetype>(marks.CommandBytes)).size());
  if (marks.Command == TScriptCommand::Rem) {
    QTextCharFormat comment;
    comment.setForeground(Qt::darkGray);
    comment.setFontItalic(true);
    setFormat(command, static_cast<int>(text.size()) - command, comment);
  }
  if (command > 0) {
    QTextCharFormat keyword;
    keyword.setForeground(Qt::darkBlue);
    keyword.setFontWeight(QFont::Bold);
    setFormat(0, command, keyword);
  }
  const QString carriageReturn = QString::fromUtf8(kCarriageReturnMark.data(), kCarriageReturnMark.size());
  QTextCharFormat mark;
  mark.setForeground(Qt::gray);
  for (qsizetype at = text.indexOf(carriageReturn); at >= 0; at = text.indexOf(carriageReturn, at + 1))
    setFormat(static_cast<int>(at), 1, mark);
}
