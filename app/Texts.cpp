#include "app/Texts.h"

QString LoadStringText(int /*id*/) { return {}; }
