// The bytes of a saved document: UTF-8 pieces in, the document's encoding out.
// What a piece may hold decides how a character the encoding lacks is written:
// as a numeric character reference in text and attribute values, as '?' in
// comments, processing instructions and the document type, which cannot hold
// references. A name keeps every character that has a byte in the encoding, the
// C1 controls that Windows-1252's five undefined bytes stand for included, so
// that the saved document stays well-formed; a name character without one is an
// error. A character XML does not allow at all (a control code, a malformed
// sequence) is written as '?'.
#pragma once

#include <string>
#include <string_view>

#include "files/file_system.h"
#include "xml/document.h"

namespace tvb::xml {

// Whether Text() and AttributeValue() would write `utf8` as it is: ASCII without
// a character they escape.
bool IsPlainText(std::string_view utf8);
bool IsPlainAttributeValue(std::string_view utf8);

class EncodedOutput {
 public:
  // Writes the byte order mark: always for UTF-16, for UTF-8 when asked.
  EncodedOutput(AtomicFile& file, Encoding encoding, bool utf8_byte_order_mark);

  // Delimiters, comments, processing instructions, document type.
  void Markup(std::string_view utf8);
  // An element, attribute or processing instruction name.
  void Name(std::string_view utf8);
  // Character data, with &, <, > escaped.
  void Text(std::string_view utf8);
  // An attribute value written between double quotes: also " and white space
  // other than the blank escaped, so that the value reads back unchanged.
  void AttributeValue(std::string_view utf8);
  // Content of a CDATA section (without "]]>"): a lacking character closes the
  // section, follows as a reference and opens it again.
  void CDataContent(std::string_view utf8);
  // ASCII that every context writes as it is: delimiters, indentation, and names
  // and values that the checks below accept. Nothing to look at but the encoding.
  void PlainAscii(std::string_view ascii);

  // Hands what is buffered to the file.
  void Flush();

 private:
  enum class Context { kMarkup, kName, kText, kAttribute, kCData };
  void Write(std::string_view utf8, Context context);
  void WriteCharacter(char32_t cp, Context context);
  bool Encodable(char32_t cp) const;
  void Put(char32_t cp);
  void PutAscii(std::string_view ascii);
  void PutReference(char32_t cp);

  AtomicFile& file_;
  Encoding encoding_;
  std::string pending_;
};

}  // namespace tvb::xml
