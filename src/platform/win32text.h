#pragma once

#include <string>

namespace vela {

// Windows builds only: the wide strings of the Win32 API and our UTF-8 strings, and the
// system's words for an error code.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
// FormatMessage's text for `code` without its trailing line end; "error N" when it has none.
std::string SystemErrorText(unsigned long code);

}  // namespace vela
