// The layout of a saved document. Every node goes on its own line, indented by
// one tab per level, as pugixml's indented format does, up to kMaxIndent tabs:
// deeper nodes are indented as that level, so that the file grows linearly with
// the document however deep it nests. Inside an element that holds text the
// content is written as it is, so that no white space is added to any text. An
// element without content is written as <name />.
//
// Delimiters, indentation, and names and values of plain ASCII are gathered and
// handed to the output in one piece: the output need not look at them, and a
// result holds millions of them.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xml/encoded_output.h"

namespace tvb::xml {

class MarkupWriter {
 public:
  static constexpr std::size_t kMaxIndent = 64;

  explicit MarkupWriter(EncodedOutput& out) : out_(out) {}

  // "<name"; its attributes follow. With `holds_text` its content is inline.
  void StartElement(std::string_view name, bool holds_text);
  void Attribute(std::string_view name, std::string_view value);
  // Ends the innermost open element.
  void EndElement();
  std::size_t open_elements() const { return open_.size(); }

  void Text(std::string_view text);
  // <name attribute="value">text</name> on its own line, or <name ... /> without
  // text: the same bytes as StartElement, Attribute, Text and EndElement.
  void Leaf(std::string_view name, std::string_view attribute, std::string_view value,
            std::string_view text);
  // The same leaf from its tags made beforehand: `start` is "<name attribute=\"value\"",
  // `end` is "</name>", both plain ASCII (see IsPlainName and IsPlainAttributeValue).
  void PlainLeaf(std::string_view start, std::string_view end, std::string_view text);
  // Whether a name is written as it is in every encoding: printable ASCII.
  static bool IsPlainName(std::string_view name);
  void CData(std::string_view text);
  void Comment(std::string_view text);
  void ProcessingInstruction(std::string_view target, std::string_view value);
  using PseudoAttributes = std::vector<std::pair<std::string_view, std::string_view>>;
  void Declaration(const PseudoAttributes& attributes);
  void DocumentType(std::string_view value);

  // Ends the last line.
  void Finish();

 private:
  struct OpenElement {
    std::string name;
    bool inline_content;
  };
  // Ends a pending start tag and, outside inline content, starts a new line.
  void BeginNode(bool is_text);
  void NewLine(std::size_t depth);
  // Gathers ASCII that every context writes as it is; a name goes through the
  // output's rules unless it is plain ASCII.
  void Put(std::string_view ascii) {
    gathered_ += ascii;
    if (gathered_.size() >= kGatheredLimit) Out();
  }
  void PutName(std::string_view name);
  // Character data: gathered when plain, else through the output's escaping.
  void PutText(std::string_view text);
  // Hands the gathered markup to the output; every other write comes after it.
  EncodedOutput& Out();

  static constexpr std::size_t kGatheredLimit = 1 << 12;
  EncodedOutput& out_;
  std::string gathered_;
  std::vector<OpenElement> open_;
  bool start_tag_pending_ = false;
  bool at_start_ = true;
};

}  // namespace tvb::xml
