#include "app/qt/QtShell.h"

#include "app/CompanionFiles.h"
#include "app/HelpTopics.h"
#include "app/ProductTexts.h"
#include "app/qt/HelpViewer.h"
#include "app/qt/WindowKeys.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

TQtShell::TQtShell(QStringList helpFolders) : FHelpFolders(std::move(helpFolders)) {}
TQtShell::~TQtShell() = default;

void TQtShell::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void TQtShell::StartProgram(const std::string& path, const std::vector<std::string>& args) {
  QStringList arguments;
  for (const std::string& arg : args) arguments << QString::fromStdString(arg);
  QProcess::startDetached(QString::fromStdString(path), arguments);
}

void TQtShell::ShowHelp(int context) {
  QString found;
  const char* file = HelpTopicFile(context);
  for (const QString& folder : FHelpFolders) {
    if (file == nullptr) break;
    const QString candidate = QDir(folder).filePath(QString::fromUtf8(file));
    if (QFileInfo(candidate).isFile()) {
      found = candidate;
      break;
    }
  }
  if (!FViewer) CreateViewer();
  FViewer->ShowTopic(context, found);
}

void TQtShell::RaiseHelp() {
  if (!FViewer || !FViewer->isVisible()) return;
  FViewer->raise();
  FViewer->activateWindow();
}

void TQtShell::CreateViewer() {
  FViewer = std::make_unique<THelpViewer>();
  // F1 in the help leads to its start, the introduction.
  AddWindowKeys(*FViewer, {[this] { ShowHelp(HelpContextIntroduction); },
                           [this] {
                             if (FToggleResponse) FToggleResponse();
                           }});
}

QStringList DefaultHelpFolders(const QString& programDir) {
  QStringList folders;
  for (const auto& folder : CompanionFolders(programDir.toStdString()))
    folders << QString::fromStdString((folder / HelpFolder).string());
  return folders;
}
