#include "app/qt/HelpViewer.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), FBrowser(new QTextBrowser(this)) {
  setWindowTitle(QStringLiteral("Help"));
  FBrowser->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FBrowser);
  resize(560, 480);
}

void THelpViewer::ShowTopic(int context, const QString& path) {
  if (!path.isEmpty() && QFileInfo(path).isFile()) {
    FBrowser->setSource(QUrl::fromLocalFile(path));
  } else {
    FBrowser->setPlainText(QStringLiteral("The help topic %1 could not be found.").arg(context));
  }
  show();
  raise();
  activateWindow();
}

QString THelpViewer::PlainText() const { return FBrowser->toPlainText(); }
