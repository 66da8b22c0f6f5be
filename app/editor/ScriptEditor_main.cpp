// ScriptEditor: edits Zephyra's script files. The main program starts it
// from its File menu; a file named as first argument is opened.

#include "app/editor/ScriptEditorWindow.h"
#include "app/qt/QtNumberFormat.h"

#include <QApplication>
#include <QLocale>

#include <clocale>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  TScriptEditorWindow window(NumberFormatOf(QLocale::system()));
  if (argc > 1) window.OpenFile(QString::fromLocal8Bit(argv[1]));
  window.show();
  return QApplication::exec();
}
