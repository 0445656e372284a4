#pragma once
// The texts' UTF-16 form, for Windows' wide entry points and COM: the one
// conversion between it and the UTF-8 of the texts inside (util/Testo.h).
// The BSTR forms (Bstr, Utf8DaBstr in util/Com_win32.h) are built on it.
//
// Windows converts (MultiByteToWideChar and WideCharToMultiByte with
// CP_UTF8): malformed UTF-8 and unpaired surrogates become U+FFFD, and an
// embedded zero is kept as a character like any other.

#include <string>
#include <string_view>

namespace quandora {

std::wstring Utf16DaUtf8(std::string_view utf8);
std::string Utf8DaUtf16(std::wstring_view utf16);

}  // namespace quandora
