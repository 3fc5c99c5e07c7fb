// The list of codes of one table and the code shortening rule that fills it.
//
// A code is what the timetabling program stores in a four-character field, so the
// list holds every code by its stored form: its first four characters, trailing
// spaces removed, compared without regard to letter case. A value's candidate
// (its first `cut` characters, or all of it, trimmed when the rule says so) is the
// code when its stored form is free; otherwise the first `fallback` characters of
// the candidate followed by a counter 1, 2, ... until the stored form is free. When
// base and counter would exceed four characters the base is shortened
// (MAT9, then MA10; AU99, then A100; down to 1000 .. 9999), so every code stays
// unique as stored. A counter of five digits would be needed: no code is left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tvb {

struct CodeRule {
  std::optional<std::size_t> cut;  // characters of the value taken as candidate; none: all
  bool trim_cut;                   // whether the candidate is trimmed of codes 0..32
  std::size_t fallback;            // characters of the candidate kept before the counter
};

// The four uses of the rule.
inline constexpr CodeRule kSubjectAndTaskCodes{4, false, 3};
inline constexpr CodeRule kTeacherCodes{std::nullopt, false, 3};
inline constexpr CodeRule kRoomCodes{4, true, 2};
inline constexpr CodeRule kGroupCodes{4, true, 3};

class CodeList {
 public:
  // `table` names the table in the error raised when no code is left.
  CodeList(CodeRule rule, std::string_view table) : rule_(rule), table_(table) {}

  // The code for `value` (ANSI text), which is added to the list.
  std::string Shorten(std::string_view value);
  // Whether the list holds a code whose stored form equals that of `code`.
  bool Holds(std::string_view code) const;
  // Makes room for `count` codes in all.
  void Reserve(std::size_t count) { stored_.Reserve(count); }

 private:
  std::string NextFreeCode(std::string_view base, std::string_view value);

  CodeRule rule_;
  std::string_view table_;
  // A set of packed codes (see code_list.cpp) in one flat array probed
  // linearly: the search for a free code asks it many times per code.
  class PackedSet {
   public:
    bool Contains(std::uint64_t packed) const;
    void Insert(std::uint64_t packed);
    void Reserve(std::size_t count);

   private:
    std::size_t Home(std::uint64_t packed) const;
    std::vector<std::uint64_t> slots_ = std::vector<std::uint64_t>(16, kFree);
    std::size_t count_ = 0;
    static constexpr std::uint64_t kFree = ~std::uint64_t{0};
  };

  PackedSet stored_;  // stored forms, case folded
  // Last counter given per base (case folded): every counter below it is taken,
  // and the list only grows, so the search for a free one starts after it.
  std::unordered_map<std::uint64_t, unsigned> last_counter_;
};

}  // namespace tvb
