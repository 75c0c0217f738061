#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

// Installs Qt's own Japanese texts (message box buttons, file dialogs) so
// that every dialog reads as the rest of the program. Looks beside the
// executable first (translations/qtbase_ja.qm, as a Windows installation
// ships it), then in Qt's translations directory. Returns the translator
// installed, owned by the application, or nullptr when none was found: the
// program then goes on with Qt's English texts.
QTranslator* InstallQtJapanese(QCoreApplication& app, const QString& executableDirectory);
