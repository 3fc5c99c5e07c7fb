// The names by which an XML declaration states the encodings the documents may
// use, and the name a saved document declares.
#pragma once

#include <optional>
#include <string_view>

#include "xml/document.h"

namespace tvb::xml {

// What a declared encoding name stands for. "UTF-16" has no byte order of its
// own, so it reads as kUtf16LE; nullopt for a name this tool does not read.
std::optional<Encoding> EncodingNamed(std::string_view declared);

// True when a declaration with this encoding name (empty: none stated) rightly
// describes a file written in `written`.
bool DeclarationStates(std::string_view declared, Encoding written);

// The name a saved document declares for `encoding`.
std::string_view DeclaredName(Encoding encoding);

}  // namespace tvb::xml
