#include "app/StringText.h"

#include <atomic>

namespace {
std::atomic<StringTextProvider> g_provider{nullptr};
}

void SetStringTextProvider(StringTextProvider provider) {
    g_provider.store(provider);
}

std::string LoadStringTextA(int id) {
    const StringTextProvider provider = g_provider.load();
    return provider != nullptr ? provider(id) : std::string();
}
