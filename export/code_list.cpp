#include "export/code_list.h"

#include "text/ansi.h"
#include "text/error.h"

namespace tvb {
namespace {

constexpr std::size_t kStoredWidth = 4;

std::string StoredForm(std::string_view code) {
  return FoldCase(TrimTrailingSpaces(code.substr(0, kStoredWidth)));
}

}  // namespace

bool CodeList::Holds(std::string_view code) const { return stored_.contains(StoredForm(code)); }

std::string CodeList::Shorten(std::string_view value) {
  std::string_view candidate = rule_.cut ? value.substr(0, *rule_.cut) : value;
  if (rule_.trim_cut) candidate = Trim(candidate);
  std::string code = Holds(candidate) ? NextFreeCode(candidate.substr(0, rule_.fallback), value)
                                      : std::string(candidate);
  stored_.insert(StoredForm(code));
  return code;
}

std::string CodeList::NextFreeCode(std::string_view base, std::string_view value) {
  unsigned& last = last_counter_[FoldCase(base)];
  for (unsigned counter = last + 1;; ++counter) {
    const std::string digits = std::to_string(counter);
    if (digits.size() > kStoredWidth) {
      throw Error("No queda ningún código libre de " + std::to_string(kStoredWidth) +
                  " caracteres para «" + AnsiToUtf8(value) + "» en la tabla " +
                  std::string(table_));
    }
    std::string code(base.substr(0, kStoredWidth - digits.size()));
    code += digits;
    if (!Holds(code)) {
      last = counter;
      return code;
    }
  }
}

}  // namespace tvb
