#pragma once
// A small window that shows one help topic and follows its links: links to
// other topics open in the window (Back and Forward return), web and mail
// links open with the desktop's handler. A message box or prompt that blocks
// the program's windows does not block the viewer: the viewer then belongs
// to the prompt, in front of it.

#include <QWidget>

class QTextBrowser;
class QUrl;

class THelpViewer final : public QWidget {
public:
  explicit THelpViewer(QWidget* parent = nullptr);
  /// Shows the file, or a notice naming the topic when there is no file.
  void ShowTopic(int context, const QString& path);
  /// The text shown at the moment (for checks).
  QString PlainText() const;
  QTextBrowser& Browser() const { return *FBrowser; }

protected:
  bool event(QEvent* event) override;

private:
  void FollowLink(const QUrl& url);
  void Present();
  /// Makes the viewer a window of the open modal prompt, if any; true when that changed.
  bool JoinModalPrompt();

  QTextBrowser* FBrowser;
};
