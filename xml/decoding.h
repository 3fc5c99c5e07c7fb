// Turning the bytes of a document file into UTF-8 text for the parser: the byte
// order mark decides, else the encoding that the XML declaration states.
#pragma once

#include <stdexcept>
#include <string>

#include "xml/document.h"
#include "xml/utf8.h"

namespace tvb::xml {

struct DecodedDocument {
  std::string utf8;
  Encoding encoding = Encoding::kUtf8;
  bool byte_order_mark = false;
};

// The bytes cannot be read as text: the reason (Spanish) and where it was found.
class DecodingError : public std::runtime_error {
 public:
  DecodingError(const std::string& reason, TextPosition at)
      : std::runtime_error(reason), position(at) {}
  TextPosition position;
};

// Detects the encoding of `bytes` and returns the text as UTF-8 without byte
// order mark. Throws DecodingError for an unsupported or undetectable encoding,
// a malformed sequence, or a null character.
DecodedDocument DecodeDocument(std::string bytes);

}  // namespace tvb::xml
