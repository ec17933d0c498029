#pragma once
// Text to number conversion for settings and fields.

#include <cstddef>

enum eDIGITAL_TYPE {
    DIGITAL_TYPE_FLAG = 2,   // flag held in a signed 32-bit integer
    DIGITAL_TYPE_INT32 = 5,  // signed 32-bit integer
    DIGITAL_TYPE_UINT32 = 6, // unsigned 32-bit integer
    DIGITAL_TYPE_DOUBLE = 10 // double
};

// Converts `length` characters of `text` (decimal, or hexadecimal after "0x"/"0X";
// leading and trailing blanks allowed) into *target of the given type. Returns
// false, leaving the target alone, for empty or malformed text, an unknown type,
// or a value outside the target's range.
bool DigtalStringToValue(const char* text, std::size_t length, void* target, int type);

// Sleeps for the given milliseconds.
void HQ_Sleep(unsigned int milliseconds);
