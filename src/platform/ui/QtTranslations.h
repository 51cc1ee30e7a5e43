#pragma once
#include <QString>

// Loads Qt's own translation of one language ("ja") into the application, so the standard
// buttons of message boxes and the file dialogs speak the program's language. Returns
// false when the translation is not installed; the texts then stay English.
bool InstallQtTranslations(const QString& language);
