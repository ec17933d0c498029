#include "device/common/BaseString.h"

#include <cstdio>
#include <cwchar>
#include <vector>

int CBaseStringA::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = FormatV(format, args);
    va_end(args);
    return n;
}

int CBaseStringA::FormatV(const char* format, va_list args) {
    if (format == nullptr) {
        text_.clear();
        return 0;
    }
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        text_.clear();
        return 0;
    }
    std::string out(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(needed));
    text_ = std::move(out);
    return needed;
}

void CBaseStringA::Set(const char* text, std::size_t length) {
    if (text == nullptr) {
        text_.clear();
        return;
    }
    text_ = length == std::string::npos ? std::string(text) : std::string(text, length);
}

void CBaseStringA::Set(const wchar_t* text, std::size_t length) {
    if (text == nullptr) {
        text_.clear();
        return;
    }
    text_ = WideToUtf8(length == std::wstring::npos ? std::wstring(text) : std::wstring(text, length));
}

void CBaseStringA::RemoveCharList(const char* chars, int, int) {
    if (chars == nullptr)
        return;
    const std::string remove(chars);
    std::string out;
    out.reserve(text_.size());
    for (char c : text_)
        if (remove.find(c) == std::string::npos)
            out.push_back(c);
    text_ = std::move(out);
}

int CBaseStringW::Format(const wchar_t* format, ...) {
    if (format == nullptr) {
        text_.clear();
        return 0;
    }
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int n = std::vswprintf(buf.data(), buf.size(), format, args);
        va_end(args);
        if (n >= 0) {
            text_.assign(buf.data(), static_cast<std::size_t>(n));
            return n;
        }
        if (buf.size() > (1u << 20)) { // malformed format, not a short buffer
            text_.clear();
            return 0;
        }
        buf.resize(buf.size() * 2);
    }
}

void CBaseStringW::Set(const wchar_t* text, std::size_t length) {
    if (text == nullptr) {
        text_.clear();
        return;
    }
    text_ = length == std::wstring::npos ? std::wstring(text) : std::wstring(text, length);
}

void CBaseStringW::Set(const char* utf8, std::size_t length) {
    if (utf8 == nullptr) {
        text_.clear();
        return;
    }
    text_ = Utf8ToWide(length == std::string::npos ? std::string(utf8) : std::string(utf8, length));
}

void CBaseStringW::RemoveCharList(const wchar_t* chars, int, int) {
    if (chars == nullptr)
        return;
    const std::wstring remove(chars);
    std::wstring out;
    for (wchar_t c : text_)
        if (remove.find(c) == std::wstring::npos)
            out.push_back(c);
    text_ = std::move(out);
}

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        unsigned int cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        }
        if (len > 1) {
            bool ok = i + len <= text.size();
            for (std::size_t k = 1; ok && k < len; ++k) {
                const auto cc = static_cast<unsigned char>(text[i + k]);
                ok = (cc & 0xC0) == 0x80;
                cp = (cp << 6) | (cc & 0x3F);
            }
            if (!ok) {
                cp = 0xFFFD;
                len = 1;
            }
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += len;
    }
    return out;
}

std::string WideToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto cp = static_cast<unsigned int>(wc);
        if (cp > 0x10FFFF)
            cp = 0xFFFD;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}
