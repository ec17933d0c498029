#pragma once
// Process-wide logging: each DbgOutputA call yields one line (time stamp and
// text), handed to every registered callback. Thread-safe: lines from several
// threads never interleave.

#include <cstdint>

using DbgOutputCallback = void (*)(void* user, std::uint32_t reserved, const char* text,
                                   std::uint32_t length);

void DbgOutputA(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Adds a callback with its user value; the same pair twice is added once.
bool DbgOutputAddCallback(DbgOutputCallback callback, void* user);
// Removes the pair; after it returns the callback is never called again.
bool DbgOutputDelCallback(DbgOutputCallback callback, void* user);
// Tag on/off and its kind; 0, 0 writes no tag before the text.
void DbgOutputSetTag(int enable, int kind);
// 0: no time stamp; 1: local date and time with milliseconds.
void DbgOutputSetTimeType(int type);
// Nonzero adds "[pid:tid] " after the time stamp.
void DbgOutputSetIncludePIDTID(int include);
// Lines at or below this level are produced (default 2; every caller logs at 2).
void DbgOutputSetLevel(int level);
