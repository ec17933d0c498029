#pragma once
// User interface texts: the string table by number, in the language chosen at
// start-up. Both languages live in Qt Linguist files under res/.

#include <QString>

// The text of string-table entry `id` in the language in force; empty when absent.
QString LoadStringText(int id);
