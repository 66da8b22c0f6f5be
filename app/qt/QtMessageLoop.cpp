#include "app/qt/QtMessageLoop.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

TQtMessageLoop::TQtMessageLoop() = default;
TQtMessageLoop::~TQtMessageLoop() = default;

void TQtMessageLoop::ProcessMessages() {
  QCoreApplication::processEvents();
  // Copy first: a dispatch may add or remove sources.
  std::vector<TMessageSource*> sources;
  for (auto& entry : FSources) sources.push_back(entry.first);
  for (TMessageSource* source : sources)
    if (FSources.count(source) != 0) source->Dispatch();
}

void TQtMessageLoop::Sleep(int ms) {
  if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

void TQtMessageLoop::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(&FContext, std::move(call), Qt::QueuedConnection);
}

void TQtMessageLoop::AddSource(TMessageSource& source) {
  std::unique_ptr<QSocketNotifier> notifier;
  const int descriptor = source.WakeDescriptor();
  if (descriptor >= 0) {
    notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, &FContext,
                     [&source] { source.Dispatch(); });
  }
  FSources[&source] = std::move(notifier);
}

void TQtMessageLoop::RemoveSource(TMessageSource& source) { FSources.erase(&source); }
