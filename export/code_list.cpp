#include "export/code_list.h"

#include "text/ansi.h"
#include "text/error.h"

namespace tvb {
namespace {

constexpr std::size_t kStoredWidth = 4;

// Up to four bytes and their count as one number: a code of n bytes falls in
// [n * 256^n, (n + 1) * 256^n), so no two codes share one.
std::uint64_t Packed(std::string_view code) {
  std::uint64_t packed = code.size();
  for (const char c : code) packed = (packed << 8) | static_cast<unsigned char>(c);
  return packed;
}

std::uint64_t StoredForm(std::string_view code) {
  return Packed(FoldCase(TrimTrailingSpaces(code.substr(0, kStoredWidth))));
}

}  // namespace

std::size_t CodeList::PackedSet::Home(std::uint64_t packed) const {
  // Fibonacci hashing: the top bits of the product spread neighbouring codes.
  return static_cast<std::size_t>((packed * 0x9E3779B97F4A7C15u) >> 32) & (slots_.size() - 1);
}

bool CodeList::PackedSet::Contains(std::uint64_t packed) const {
  for (std::size_t i = Home(packed);; i = (i + 1) & (slots_.size() - 1)) {
    if (slots_[i] == packed) return true;
    if (slots_[i] == kFree) return false;
  }
}

void CodeList::PackedSet::Reserve(std::size_t count) {
  std::size_t size = slots_.size();
  while (size < 2 * count) size *= 2;
  if (size == slots_.size()) return;
  std::vector<std::uint64_t> old(size, kFree);
  old.swap(slots_);
  count_ = 0;
  for (const std::uint64_t kept : old) {
    if (kept != kFree) Insert(kept);
  }
}

void CodeList::PackedSet::Insert(std::uint64_t packed) {
  if (Contains(packed)) return;
  if (2 * (count_ + 1) > slots_.size()) Reserve(count_ + 1);
  std::size_t i = Home(packed);
  while (slots_[i] != kFree) i = (i + 1) & (slots_.size() - 1);
  slots_[i] = packed;
  ++count_;
}

bool CodeList::Holds(std::string_view code) const { return stored_.Contains(StoredForm(code)); }

std::string CodeList::Shorten(std::string_view value) {
  std::string_view candidate = rule_.cut ? value.substr(0, *rule_.cut) : value;
  if (rule_.trim_cut) candidate = Trim(candidate);
  std::string code = Holds(candidate) ? NextFreeCode(candidate.substr(0, rule_.fallback), value)
                                      : std::string(candidate);
  stored_.Insert(StoredForm(code));
  return code;
}

std::string CodeList::NextFreeCode(std::string_view base, std::string_view value) {
  unsigned& last = last_counter_[Packed(FoldCase(base))];
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
