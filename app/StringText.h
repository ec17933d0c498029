#pragma once
// String-table texts for code without Qt (procedures that write progress lines
// and messages). The user interface registers the provider when it applies the
// language; until then every text is empty.

#include <string>

// Returns the UTF-8 text of entry `id`, empty when absent. Must be callable from
// any thread once registered.
using StringTextProvider = std::string (*)(int id);

void SetStringTextProvider(StringTextProvider provider);

// The text of string-table entry `id` in the language in force, UTF-8; empty
// when absent or when no provider is registered.
[[nodiscard]] std::string LoadStringTextA(int id);
