// The window toolkit's whole-number conversion, which the tool uses for the
// window handle argument, weekly minutes and period times.
//
// Accepted: leading spaces (spaces only), an optional sign, then decimal digits,
// or hexadecimal digits after '$', 'x' or 'X' ("-$3C" is -60; "0x10" is not a
// number). A decimal value must fit in a signed 32-bit integer; a hexadecimal one
// in 32 bits, taken as the bit pattern ("$FFFFFFFF" is -1). Anything else, the
// empty text included, throws ConversionError with the toolkit's text
// "'%s' no es un valor entero válido".
#pragma once

#include <cstdint>
#include <string_view>

namespace tvb {

// `text` is ANSI text; the message quotes it converted to UTF-8.
int32_t StrToInt(std::string_view text);

}  // namespace tvb
