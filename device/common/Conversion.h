#pragma once
// Text to number conversion for settings and fields.

#include <cstddef>
#include <string>

enum eDIGITAL_TYPE {
    DIGITAL_TYPE_FLAG = 2,   // flag held in a signed 32-bit integer
    DIGITAL_TYPE_INT32 = 5,  // signed 32-bit integer
    DIGITAL_TYPE_UINT32 = 6, // unsigned 32-bit integer
    DIGITAL_TYPE_DOUBLE = 10 // double
};

// Converts `length` characters of `text` (decimal, or hexadecimal after "0x"/"0X";
// leading and trailing blanks allowed) into *target of the given type. Returns
// false, leaving the target alone, for empty or malformed text, an unknown type,
// or a value outside the target's range. The decimal point is always '.',
// whatever the locale.
bool DigtalStringToValue(const char* text, std::size_t length, void* target, int type);

// `value` with `decimals` digits after a '.', like "%.*f" in the "C" locale.
// Numbers in files never follow the user's locale (a German one would give
// "33,33", which no reader takes back).
[[nodiscard]] std::string FormatFixed(double value, int decimals);

// Formats numbers with '.' on this thread while it lives, whatever the
// process's locale, for printf patterns that come from code ("%.1f").
class CClassicNumericScope {
public:
    CClassicNumericScope();
    ~CClassicNumericScope();
    CClassicNumericScope(const CClassicNumericScope&) = delete;
    CClassicNumericScope& operator=(const CClassicNumericScope&) = delete;

private:
    void* previous_ = nullptr; // locale_t
};

// Makes the C library read and write numbers with '.' in the whole process.
// Called right after the QApplication is created, which applies the user's
// locale to LC_NUMERIC too.
void UseClassicNumericLocale();

// Sleeps for the given milliseconds.
void HQ_Sleep(unsigned int milliseconds);
