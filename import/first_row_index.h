// The first row of each key of a table, with copies of up to two values of that
// row, in one flat array probed linearly. An entry is half a cache line, and the
// key and the copies lie inside it when they fit (codes and keys of a few
// characters; longer ones go to a side list): a lookup reads one line, where a
// node-based map follows three or four pointers and a read of the row itself in
// a large table costs one more trip to memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvb {

class FirstRowIndex {
 public:
  static constexpr std::size_t kCopies = 2;
  using Copies = std::array<std::string_view, kCopies>;
  struct Found {
    std::size_t row;
    Copies copies;  // views into the index, valid while it lives
  };

  // Room for `expected` keys; it grows if more come.
  explicit FirstRowIndex(std::size_t expected);
  // Adds `key` for `row` with its copies, unless the key has a row: the first wins.
  void Emplace(std::string_view key, std::size_t row, const Copies& copies);
  std::optional<Found> Find(std::string_view key) const;
  // Starts bringing the entry where a search for `key` begins into the cache.
  void Prefetch(std::string_view key) const;

 private:
  static constexpr std::uint32_t kFree = UINT32_MAX;
  static constexpr std::size_t kTexts = 1 + kCopies;  // the key, then the copies
  using Lengths = std::array<std::uint32_t, kTexts>;
  // Two entries to a cache line: half the memory of a wider entry, so that
  // more of a large table's index stays in the processor's caches.
  struct alignas(32) Entry {
    std::uint32_t row = kFree;
    std::array<std::uint8_t, kTexts> length{};  // of the texts kept inline
    bool spilled = false;                       // texts in spilled_, text holds where
    char text[32 - 8];                          // the texts one after another
  };
  static_assert(sizeof(Entry) == 32);
  struct Spilled {
    std::string texts;
    Lengths length;
  };
  // An entry's texts one after another (key, then copies) and their lengths.
  struct Texts {
    const char* data;
    Lengths length;
  };

  std::size_t Home(std::string_view key) const;
  void Grow();
  Texts TextsOf(const Entry& entry) const;
  std::string_view Key(const Entry& entry) const;

  std::vector<Entry> slots_;
  std::size_t mask_;
  std::size_t count_ = 0;
  std::vector<Spilled> spilled_;
};

}  // namespace tvb
