#include "xml/markup_writer.h"

#include <algorithm>

namespace tvb::xml {

void MarkupWriter::StartElement(std::string_view name, bool holds_text) {
  BeginNode(false);
  const bool inline_content = holds_text || (!open_.empty() && open_.back().inline_content);
  open_.push_back({std::string(name), inline_content});
  Put("<");
  PutName(name);
  start_tag_pending_ = true;
}

void MarkupWriter::Attribute(std::string_view name, std::string_view value) {
  Put(" ");
  PutName(name);
  Put("=\"");
  if (IsPlainAttributeValue(value)) {
    Put(value);
  } else {
    Out().AttributeValue(value);
  }
  Put("\"");
}

void MarkupWriter::EndElement() {
  const OpenElement element = std::move(open_.back());
  open_.pop_back();
  if (start_tag_pending_) {
    start_tag_pending_ = false;
    return Put(" />");
  }
  if (!element.inline_content) NewLine(open_.size());
  Put("</");
  PutName(element.name);
  Put(">");
}

void MarkupWriter::Text(std::string_view text) {
  BeginNode(true);
  PutText(text);
}

void MarkupWriter::Leaf(std::string_view name, std::string_view attribute,
                        std::string_view value, std::string_view text) {
  BeginNode(false);
  Put("<");
  PutName(name);
  if (!attribute.empty()) Attribute(attribute, value);
  if (text.empty()) return Put(" />");
  Put(">");
  PutText(text);
  Put("</");
  PutName(name);
  Put(">");
}

void MarkupWriter::PlainLeaf(std::string_view start, std::string_view end,
                             std::string_view text) {
  BeginNode(false);
  Put(start);
  if (text.empty()) return Put(" />");
  Put(">");
  PutText(text);
  Put(end);
}

bool MarkupWriter::IsPlainName(std::string_view name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

void MarkupWriter::CData(std::string_view text) {
  BeginNode(true);
  Put("<![CDATA[");
  // A section cannot hold "]]>": it ends after "]]" and the next one starts at ">".
  for (std::size_t end = text.find("]]>"); end != std::string_view::npos; end = text.find("]]>")) {
    Out().CDataContent(text.substr(0, end + 2));
    Put("]]><![CDATA[");
    text.remove_prefix(end + 2);
  }
  Out().CDataContent(text);
  Put("]]>");
}

void MarkupWriter::Comment(std::string_view text) {
  BeginNode(false);
  Put("<!--");
  Out().Markup(text);
  Put("-->");
}

void MarkupWriter::ProcessingInstruction(std::string_view target, std::string_view value) {
  BeginNode(false);
  Put("<?");
  PutName(target);
  if (!value.empty()) {
    Put(" ");
    Out().Markup(value);
  }
  Put("?>");
}

void MarkupWriter::Declaration(const PseudoAttributes& attributes) {
  BeginNode(false);
  Put("<?xml");
  for (const auto& [name, value] : attributes) Attribute(name, value);
  Put("?>");
}

void MarkupWriter::DocumentType(std::string_view value) {
  BeginNode(false);
  Put("<!DOCTYPE ");
  Out().Markup(value);
  Put(">");
}

void MarkupWriter::Finish() {
  Put("\n");
  Out().Flush();
}

void MarkupWriter::BeginNode(bool is_text) {
  if (start_tag_pending_) {
    Put(">");
    start_tag_pending_ = false;
  }
  const bool inline_content = !open_.empty() && open_.back().inline_content;
  if (!is_text && !inline_content) NewLine(open_.size());
}

void MarkupWriter::PutName(std::string_view name) {
  if (IsPlainName(name)) return Put(name);
  Out().Name(name);
}

void MarkupWriter::PutText(std::string_view text) {
  if (IsPlainText(text)) return Put(text);
  Out().Text(text);
}

EncodedOutput& MarkupWriter::Out() {
  if (!gathered_.empty()) {
    out_.PlainAscii(gathered_);
    gathered_.clear();
  }
  return out_;
}

void MarkupWriter::NewLine(std::size_t depth) {
  if (!at_start_) Put("\n");
  at_start_ = false;
  gathered_.append(std::min(depth, kMaxIndent), '\t');
}

}  // namespace tvb::xml
