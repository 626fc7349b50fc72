#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qdc {

// Whole number from text: leading blanks, an optional sign, then decimal
// digits or a hexadecimal number introduced by "$", "x", "X", "0x" or "0X".
// Nothing may follow and the value must fit 32 bits; otherwise
// "'<text>' is not a valid integer value".
std::int32_t toInt(const std::string& text);

// Floating-point number from text: leading and trailing blanks, an optional
// sign, digits with an optional fraction after `decimalSeparator`, an optional
// exponent; at least one digit. Otherwise
// "'<text>' is not a valid floating point value".
double toFloat(const std::string& text, char decimalSeparator);

// toFloat() of a view, without a copy when the text is a plain number with
// "." as its decimal point.
double toFloatView(std::string_view text, char decimalSeparator);

// Raises what toFloatView() would raise, converting only when the shape of
// the text cannot tell.
void checkFloatView(std::string_view text, char decimalSeparator);

// Whether `text` converts by toFloat() and has no exponent, told by its shape
// alone, without converting it.
bool isPlainFloatText(std::string_view text, char decimalSeparator);

// Every "." of `text` replaced by `decimalSeparator`.
std::string withSeparator(std::string text, char decimalSeparator);

} // namespace qdc
