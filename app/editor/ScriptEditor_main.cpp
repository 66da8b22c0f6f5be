// zephyra-script-editor: edits Zephyra's script files. The main program
// starts it from its File menu; a file named as first argument is opened.

#include "app/ProductTexts.h"
#include "app/editor/ScriptEditorWindow.h"
#include "app/qt/QtNumberFormat.h"
#include "platform/InfoArguments.h"

#include <QApplication>
#include <QLocale>

#include <clocale>
#include <iostream>

namespace {
constexpr const char* Usage =
    "Usage: zephyra-script-editor [SCRIPT.zes]\n"
    "\n"
    "Edits the script files that Zephyra plays: it highlights the commands and marks\n"
    "in red every line at which a run would stop. A script named as the first argument\n"
    "is opened.\n"
    "\n"
    "  --help       this text\n"
    "  --version    the version and the licence\n";
}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerInfoArgument(argc, argv, Usage, VersionText(ScriptEditorProgram), std::cout))
    return *status;
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  TScriptEditorWindow window(NumberFormatOf(QLocale::system()));
  if (argc > 1) window.OpenFile(QString::fromLocal8Bit(argv[1]));
  window.show();
  return QApplication::exec();
}
