#include "app/qt/SplashWindow.h"

#include "app/frmStartSplash.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QScreen>

TQtSplashWindow::TQtSplashWindow(TfrmStartSplash& form)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      FForm(form), FLabel(new QLabel(this)) {
  // Blended, the white background is not drawn at all: only the picture and
  // the text show. Without a compositor a translucent window is black, so the
  // window is opaque: black text on white; so it is on Wayland, where no
  // window opacity can be set.
  if (form.Blended()) {
    setAttribute(Qt::WA_TranslucentBackground);
  } else {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
  }
  setFixedSize(TfrmStartSplash::ClientWidth, TfrmStartSplash::ClientHeight);
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(43);
  FLabel->setFont(font);
  FLabel->setGeometry(139, 0, 225, 217);
  FLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  FLabel->setWordWrap(true);
  if (form.Blended()) FLabel->setAttribute(Qt::WA_TranslucentBackground);
  FLabel->setText(QString::fromStdString(form.Label1.Caption()));
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  Follow();
  form.AddObserver([this] { Follow(); });
}

void TQtSplashWindow::Follow() {
  // Where the desktop cannot fade, a platform asked for an opacity complains.
  if (FForm.Blended()) setWindowOpacity(FForm.AlphaBlendValue() / 255.0);
  if (FForm.Visible() != isVisible()) setVisible(FForm.Visible());
}

void TQtSplashWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QIcon icon = QApplication::windowIcon();
  if (!icon.isNull()) icon.paint(&painter, QRect(190, 12, 32, 32));
}
