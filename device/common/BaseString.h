#pragma once
// Owned text. CBaseStringA holds 8-bit text: UTF-8 stands for the ANSI code
// page. CBaseStringW holds wide text; Set converts between the two.

#include <cstdarg>
#include <cstddef>
#include <string>

class CBaseStringA {
public:
    CBaseStringA() = default;
    explicit CBaseStringA(const char* text) { Set(text); }
    [[nodiscard]] const char* GetString() const { return text_.c_str(); }
    [[nodiscard]] std::size_t GetLength() const { return text_.size(); }
    // printf-style; returns the resulting length.
    int Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    int FormatV(const char* format, va_list args);
    void Set(const char* text, std::size_t length = std::string::npos);
    void Set(const wchar_t* text, std::size_t length = std::string::npos);
    // Removes every occurrence of each character of `chars`. The flags are
    // accepted for compatibility (callers pass 1, 1) and mean "all, case sensitive".
    void RemoveCharList(const char* chars, int flagA = 1, int flagB = 1);
    [[nodiscard]] const std::string& str() const { return text_; }

private:
    std::string text_;
};

class CBaseStringW {
public:
    CBaseStringW() = default;
    explicit CBaseStringW(const wchar_t* text) { Set(text); }
    [[nodiscard]] const wchar_t* GetString() const { return text_.c_str(); }
    [[nodiscard]] std::size_t GetLength() const { return text_.size(); }
    int Format(const wchar_t* format, ...);
    void Set(const wchar_t* text, std::size_t length = std::wstring::npos);
    void Set(const char* utf8, std::size_t length = std::string::npos);
    void RemoveCharList(const wchar_t* chars, int flagA = 1, int flagB = 1);
    [[nodiscard]] const std::wstring& str() const { return text_; }

private:
    std::wstring text_;
};

// UTF-8 <-> wide conversions used by the string classes and the path helpers.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
