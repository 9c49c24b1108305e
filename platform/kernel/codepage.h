// Text between the code pages the stand-in meets: the ANSI code page of a
// Chinese (PRC) system, 936 (GBK), in the game's strings; UTF-16 in
// resources and COM calls; UTF-8 for SDL, fontconfig and file names.
// Safe to call from any thread.
#ifndef QEL_PLATFORM_KERNEL_CODEPAGE_H
#define QEL_PLATFORM_KERNEL_CODEPAGE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Code page 936 to UTF-8. A byte that starts no character becomes '?'; a
// character cut by the end of the text is dropped. Without the system's
// converter, only ASCII comes through (the rest as '?').
std::string AnsiToUtf8(const char* text, size_t length);

// UTF-16 to code page 936. A character GBK lacks, or a broken surrogate
// pair, becomes one '?'.
std::string WideToAnsi(const char16_t* text, size_t length);

// UTF-16 to UTF-8; a broken surrogate becomes U+FFFD.
std::string WideToUtf8(const char16_t* text, size_t length);

// Appends the code points of valid UTF-8 (as AnsiToUtf8 writes) to `out`.
void Utf8ToCodePoints(const std::string& utf8, std::vector<uint32_t>* out);

#endif
