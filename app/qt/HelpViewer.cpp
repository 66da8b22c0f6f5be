#include "app/qt/HelpViewer.h"

#include "app/qt/ResponsePlacement.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const QSize PreferredSize(640, 560);
/// Room for a window manager's frame, which is unknown before the first show.
const QSize FrameAllowance(16, 40);

}  // namespace

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
  // The page takes the keys as soon as the window is active (PageDown scrolls).
  FBrowser->setFocus();
  resize(PreferredSize);
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
  // The desktop learns whose window the viewer is when it is shown.
  if (JoinModalPrompt() && isVisible()) hide();
  if (!isVisible() && ProgramPlacesWindows()) {
    // Whole on the screen of the active window, frame included; a window
    // manager left to itself may cascade it past the screen's edge.
    const QWidget* active = QApplication::activeWindow();
    const QScreen* screen = active != nullptr ? active->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      const QRect frame = PlaceCentred(PreferredSize + FrameAllowance, screen->availableGeometry());
      resize(frame.size() - FrameAllowance);
      move(frame.topLeft());
    }
  }
  show();
  raise();
  activateWindow();
}

bool THelpViewer::JoinModalPrompt() {
  const QWidget* modal = QApplication::activeModalWidget();
  QWindow* prompt = modal != nullptr ? modal->windowHandle() : nullptr;
  create();
  if (prompt == windowHandle() || prompt == windowHandle()->transientParent()) return false;
  windowHandle()->setTransientParent(prompt);
  return true;
}

bool THelpViewer::event(QEvent* event) {
  // A prompt opened while the viewer is open: stay usable beside it.
  if (event->type() == QEvent::WindowBlocked) JoinModalPrompt();
  return QWidget::event(event);
}

QString THelpViewer::PlainText() const { return FBrowser->toPlainText(); }
