#include "xml/markup_writer.h"

#include <algorithm>

namespace tvb::xml {

void MarkupWriter::StartElement(std::string_view name, bool holds_text) {
  BeginNode(false);
  const bool inline_content = holds_text || (!open_.empty() && open_.back().inline_content);
  open_.push_back({std::string(name), inline_content});
  out_.Markup("<");
  out_.Name(name);
  start_tag_pending_ = true;
}

void MarkupWriter::Attribute(std::string_view name, std::string_view value) {
  out_.Markup(" ");
  out_.Name(name);
  out_.Markup("=\"");
  out_.AttributeValue(value);
  out_.Markup("\"");
}

void MarkupWriter::EndElement() {
  const OpenElement element = std::move(open_.back());
  open_.pop_back();
  if (start_tag_pending_) {
    start_tag_pending_ = false;
    return out_.Markup(" />");
  }
  if (!element.inline_content) NewLine(open_.size());
  out_.Markup("</");
  out_.Name(element.name);
  out_.Markup(">");
}

void MarkupWriter::Text(std::string_view text) {
  BeginNode(true);
  out_.Text(text);
}

void MarkupWriter::CData(std::string_view text) {
  BeginNode(true);
  out_.Markup("<![CDATA[");
  // A section cannot hold "]]>": it ends after "]]" and the next one starts at ">".
  for (std::size_t end = text.find("]]>"); end != std::string_view::npos; end = text.find("]]>")) {
    out_.CDataContent(text.substr(0, end + 2));
    out_.Markup("]]><![CDATA[");
    text.remove_prefix(end + 2);
  }
  out_.CDataContent(text);
  out_.Markup("]]>");
}

void MarkupWriter::Comment(std::string_view text) {
  BeginNode(false);
  out_.Markup("<!--");
  out_.Markup(text);
  out_.Markup("-->");
}

void MarkupWriter::ProcessingInstruction(std::string_view target, std::string_view value) {
  BeginNode(false);
  out_.Markup("<?");
  out_.Name(target);
  if (!value.empty()) {
    out_.Markup(" ");
    out_.Markup(value);
  }
  out_.Markup("?>");
}

void MarkupWriter::Declaration(const PseudoAttributes& attributes) {
  BeginNode(false);
  out_.Markup("<?xml");
  for (const auto& [name, value] : attributes) Attribute(name, value);
  out_.Markup("?>");
}

void MarkupWriter::DocumentType(std::string_view value) {
  BeginNode(false);
  out_.Markup("<!DOCTYPE ");
  out_.Markup(value);
  out_.Markup(">");
}

void MarkupWriter::Finish() {
  out_.Markup("\n");
  out_.Flush();
}

void MarkupWriter::BeginNode(bool is_text) {
  if (start_tag_pending_) {
    out_.Markup(">");
    start_tag_pending_ = false;
  }
  const bool inline_content = !open_.empty() && open_.back().inline_content;
  if (!is_text && !inline_content) NewLine(open_.size());
}

void MarkupWriter::NewLine(std::size_t depth) {
  if (!at_start_) out_.Markup("\n");
  at_start_ = false;
  out_.Markup(std::string(std::min(depth, kMaxIndent), '\t'));
}

}  // namespace tvb::xml
