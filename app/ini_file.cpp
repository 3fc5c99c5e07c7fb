#include "app/ini_file.h"

#include <optional>
#include <vector>

#include "text/ansi.h"

namespace tvb::app {
namespace {

// One line of the file: [begin, end) is its text, [end, next) its line ending.
struct Line {
  std::size_t begin;
  std::size_t end;
  std::size_t next;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t newline = text.find('\n', begin);
    if (newline == std::string_view::npos) {
      lines.push_back({begin, text.size(), text.size()});
      break;
    }
    const bool crlf = newline > begin && text[newline - 1] == '\r';
    lines.push_back({begin, crlf ? newline - 1 : newline, newline + 1});
    begin = newline + 1;
  }
  // A byte order mark is no part of the first line's text.
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (!lines.empty() && text.substr(0, kBom.size()) == kBom) {
    lines.front().begin = std::min(kBom.size(), lines.front().end);
  }
  return lines;
}

// The file's own line ending: that of its first line, CR LF when it has none.
std::string LineEnding(std::string_view text, const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (line.next > line.end) return std::string(text.substr(line.end, line.next - line.end));
  }
  return "\r\n";
}

std::string_view StripBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "[name]" gives the name; any other line nothing.
std::optional<std::string_view> SectionName(std::string_view text) {
  text = StripBlanks(text);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const std::size_t close = text.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return StripBlanks(text.substr(1, close - 1));
}

std::string_view KeyName(std::string_view text) {
  return StripBlanks(text.substr(0, text.find('=')));
}

std::string Splice(std::string_view contents, std::size_t from, std::size_t to,
                   std::string_view insert) {
  std::string out(contents.substr(0, from));
  out += insert;
  out += contents.substr(to);
  return out;
}

// Replaces what follows the '=' (and the blanks right after it) up to the line end.
std::string ReplaceValue(std::string_view contents, const Line& line, std::string_view value) {
  const std::string_view text = contents.substr(line.begin, line.end - line.begin);
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    return Splice(contents, line.end, line.end, "=" + std::string(value));
  }
  std::size_t from = line.begin + equals + 1;
  while (from < line.end && (contents[from] == ' ' || contents[from] == '\t')) ++from;
  return Splice(contents, from, line.end, value);
}

// Adds `entry` as a line of its own after `line`. A last line without line ending
// keeps the file without one at its end.
std::string InsertLineAfter(std::string_view contents, const Line& line, std::string_view entry,
                            std::string_view eol) {
  const bool ended = line.next > line.end;
  const std::string added =
      ended ? std::string(entry) + std::string(eol) : std::string(eol) + std::string(entry);
  return Splice(contents, line.next, line.next, added);
}

}  // namespace

std::string SetIniValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::vector<Line> lines = SplitLines(contents);
  const std::string eol = LineEnding(contents, lines);
  const std::string entry = std::string(key) + "=" + std::string(value);

  bool inside = false;
  std::optional<std::size_t> last_filled;  // the section's last line that is not blank
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = contents.substr(lines[i].begin, lines[i].end - lines[i].begin);
    if (const auto name = SectionName(text)) {
      if (inside) break;  // only the first section of that name counts
      inside = SameText(*name, section);
      if (inside) last_filled = i;
      continue;
    }
    if (!inside) continue;
    if (SameText(KeyName(text), key)) return ReplaceValue(contents, lines[i], value);
    if (!StripBlanks(text).empty()) last_filled = i;
  }
  if (last_filled) return InsertLineAfter(contents, lines[*last_filled], entry, eol);

  const std::string header = "[" + std::string(section) + "]";
  if (lines.empty()) return std::string(contents) + header + eol + entry + eol;
  return InsertLineAfter(contents, lines.back(), header + eol + entry, eol);
}

void WriteIniValue(FileSystem& fs, const Path& path, std::string_view section, std::string_view key,
                   std::string_view value) {
  const std::string contents = fs.Exists(path) ? fs.ReadAll(path) : std::string();
  WriteFileAtomically(fs, path, SetIniValue(contents, section, key, value));
}

Path ProfileFileIn(FileSystem& fs, const Path& dir, std::string_view name) {
  const Path exact = dir / Path(std::string(name));
  if (!fs.IsDirectory(dir)) return exact;  // writing it will say what is wrong
  return FindIgnoringCase(fs, dir, name).value_or(exact);
}

}  // namespace tvb::app
