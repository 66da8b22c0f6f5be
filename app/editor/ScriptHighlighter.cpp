#include "app/editor/ScriptHighlighter.h"

#include "script/ScriptMarks.h"

#include <QTextCharFormat>
#include <QTextDocument>

TScriptHighlighter::TScriptHighlighter(QTextDocument* document, TNumberFormat format)
    : QSyntaxHighlighter(document), FFormat(format) {}

void TScriptHighlighter::highlightBlock(const QString& text) {
  const QByteArray line = text.toUtf8();
  const TScriptLineMarks marks =
      MarkScriptLine({line.constData(), static_cast<size_t>(line.size())}, currentBlock().blockNumber() + 1, FFormat);
  // Positions in the block count UTF-16 units; the marks count UTF-8 bytes.
  const auto units = [&line](size_t bytes) {
    return static_cast<int>(QString::fromUtf8(line.constData(), static_cast<qsizetype>(bytes)).size());
  };
  const int command = units(marks.CommandBytes);
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
  if (marks.Problem) {
    QTextCharFormat problem;
    problem.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    problem.setUnderlineColor(Qt::red);
    problem.setToolTip(QString::fromStdString(*marks.Problem));
    for (int i = 0; i < text.size(); ++i) {
      QTextCharFormat merged = format(i);
      merged.merge(problem);
      setFormat(i, 1, merged);
    }
  }
}
