#include "app/Texts.h"

QString LoadStringText(int /*id*/) { return {}; }

QString ApplyLanguage(const QString& languageCode) { return languageCode; }
