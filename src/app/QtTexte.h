#pragma once

class QCoreApplication;
class QTranslator;

// Installs the toolkit's own texts (printer set-up dialog, the edit menu of
// entry fields, standard buttons) in German, like the rest of the program,
// whatever the user's locale. The translator belongs to the application;
// nullptr when the translation is not installed, and the program then runs
// with the toolkit's English texts.
QTranslator* QtTexteDeutsch(QCoreApplication& anwendung);
