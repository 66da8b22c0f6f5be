#include "app/qt/HelpViewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), FBrowser(new QTextBrowser(this)) {
  setWindowTitle(QStringLiteral("Help"));
  // Links are followed here, so that a topic that is not there is reported.
  FBrowser->setOpenLinks(false);
  connect(FBrowser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { FollowLink(url); });
  auto* back = new QPushButton(QStringLiteral("< &Back"));
  auto* forward = new QPushButton(QStringLiteral("&Forward >"));
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(back, &QPushButton::clicked, FBrowser, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, FBrowser, &QTextBrowser::forward);
  connect(FBrowser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(FBrowser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(buttons);
  layout->addWidget(FBrowser);
  resize(640, 560);
}

void THelpViewer::ShowTopic(int context, const QString& path) {
  if (!path.isEmpty() && QFileInfo(path).isFile()) {
    FBrowser->setSource(QUrl::fromLocalFile(path));
  } else {
    FBrowser->setPlainText(QStringLiteral("The help topic %1 could not be found.").arg(context));
  }
  Present();
}

void THelpViewer::FollowLink(const QUrl& link) {
  const QUrl url = FBrowser->source().resolved(link);
  if (!url.isLocalFile()) {
    QDesktopServices::openUrl(url);
    return;
  }
  if (url.fileName() == FBrowser->source().fileName()) {
    FBrowser->scrollToAnchor(url.fragment());
  } else if (QFileInfo(url.toLocalFile()).isFile()) {
    FBrowser->setSource(url);
  } else {
    FBrowser->setPlainText(
        QStringLiteral("The help page \"%1\" is not part of this version of the program.").arg(url.fileName()));
  }
}

void THelpViewer::Present() {
  show();
  raise();
  activateWindow();
}

QString THelpViewer::PlainText() const { return FBrowser->toPlainText(); }
