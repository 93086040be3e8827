#pragma once

class QCoreApplication;

// Qt's own texts in Japanese: the standard buttons and the toolkit's dialogs (file, font,
// colour) speak the program's language. Missing translation files leave them in English.
void InstallQtTranslations(QCoreApplication& app);
