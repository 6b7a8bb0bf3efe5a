#pragma once

// Qt's own windows and texts (the print and print preview dialogs, the file
// dialogs, their buttons and tooltips) in Italian like the rest of the
// program, whatever the session's language: Qt's Italian translations
// (Debian's qt6-translations-l10n) installed into the application.

class QCoreApplication;

namespace korvan::ui {

// False when the translations are not installed on this machine: Qt's
// texts then stay in English.
bool installItalianQtTranslations(QCoreApplication& application);

} // namespace korvan::ui
