#pragma once
// Qt's own texts (the buttons and labels of standard dialogs: file open and
// save, colour, font, message boxes) in Czech, to match the program.

class QCoreApplication;

namespace torvane::app {

// Loads Qt's Czech translation from Qt's translations folder into the
// application. False when it is not installed: Qt's texts then stay English
// and everything else works as before.
bool InstallQtTranslation(QCoreApplication& app);

} // namespace torvane::app
