#pragma once
// User interface texts: the string table by number, in the language chosen at
// start-up. Both languages live in Qt Linguist files under res/.

#include <QString>

// The text of string-table entry `id` in the language in force; empty when absent.
// Before ApplyLanguage has run, the English texts are used. Callable from any thread.
QString LoadStringText(int id);

// Installs the texts of a language for the whole process, by the settings code:
// "ENG", "CHS", "CHT", any other locale name, or empty for the system locale.
// Chosen once at start-up; tests call it to switch. Returns the locale name applied
// ("en_US" or "zh_CN"); a language without texts falls back to English.
QString ApplyLanguage(const QString& languageCode);
