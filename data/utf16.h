#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qdc {

// UTF-8 to UTF-16 (one wchar_t a code unit), for the wide names of the
// Windows file and command-line functions. Nothing when `text` is not valid
// UTF-8 (a stray or truncated sequence, an overlong form, a surrogate).
std::optional<std::wstring> utf16FromUtf8(std::string_view text);

// UTF-16 to UTF-8. A surrogate without its partner becomes U+FFFD.
std::string utf8FromUtf16(std::wstring_view text);

} // namespace qdc
