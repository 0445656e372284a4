#pragma once
// Texts inside the system.
//
// Every text the code handles is a std::string holding UTF-8. The system's
// ANSI code page appears only at the boundary: the ANSI entry points of
// Windows, the fixed-width text of the file formats and Jet 3 database text.
// CodePage converts at that boundary.

#include <string>
#include <string_view>

namespace quandora {

// A single-byte code page: conversion between its bytes and UTF-8.
class CodePage {
  public:
    virtual ~CodePage() = default;
    // Bytes of the code page to UTF-8.
    virtual std::string ToUtf8(std::string_view ansi) const = 0;
    // UTF-8 to bytes of the code page; characters it cannot hold become '?'.
    virtual std::string FromUtf8(std::string_view utf8) const = 0;
};

// Windows-1252 (Western European), by table: used natively and for the
// files whose code page is 1252.
const CodePage& Windows1252();

// The system's ANSI code page: CP_ACP on Windows, Windows-1252 in native
// builds.
const CodePage& SystemCodePage();

// Shorthands for the system's ANSI code page.
inline std::string ToAnsi(std::string_view utf8) {
    return SystemCodePage().FromUtf8(utf8);
}
inline std::string FromAnsi(std::string_view ansi) {
    return SystemCodePage().ToUtf8(ansi);
}

// Upper case as the system's locale makes it (Windows' own tables; natively
// the letters Windows-1252 holds).
std::string Maiuscolo(const std::string& testo);

// The text without the spaces (0x20 only) at both ends.
std::string TogliSpazi(std::string_view s);

// Appends the UTF-8 form of a Unicode code point (invalid ones as U+FFFD).
void AppendUtf8(std::string& out, char32_t cp);

// Decodes the next code point of a UTF-8 text at pos and advances pos;
// malformed sequences give U+FFFD and advance by one byte.
char32_t NextUtf8(std::string_view s, size_t& pos);

}  // namespace quandora
