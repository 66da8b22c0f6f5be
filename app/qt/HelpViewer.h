#pragma once
// A small window that shows one help topic and follows its links.

#include <QWidget>

class QTextBrowser;

class THelpViewer final : public QWidget {
public:
  explicit THelpViewer(QWidget* parent = nullptr);
  /// Shows the file, or a notice naming the topic when there is no file.
  void ShowTopic(int context, const QString& path);
  /// The text shown at the moment (for checks).
  QString PlainText() const;

private:
  QTextBrowser* FBrowser;
};
