#include "import/first_row_index.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tvb {

FirstRowIndex::FirstRowIndex(std::size_t expected) {
  std::size_t capacity = 16;
  while (capacity < 2 * expected) capacity *= 2;
  slots_.resize(capacity);
  mask_ = capacity - 1;
}

// A hash for the short keys of these tables, worked out inline: eight bytes at a
// time, each step mixed by multiplying, the last bits folded down.
std::size_t FirstRowIndex::Home(std::string_view key) const {
  constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15u;
  std::uint64_t hash = key.size() * kMix;
  std::size_t i = 0;
  for (; i + 8 <= key.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, key.data() + i, sizeof word);
    hash = (hash ^ word) * kMix;
    hash ^= hash >> 29;
  }
  std::uint64_t tail = 0;
  for (std::size_t shift = 0; i < key.size(); ++i, shift += 8) {
    tail |= std::uint64_t{static_cast<unsigned char>(key[i])} << shift;
  }
  hash = (hash ^ tail) * kMix;
  hash ^= hash >> 32;
  hash *= kMix;
  return static_cast<std::size_t>(hash >> 24) & mask_;
}

FirstRowIndex::Texts FirstRowIndex::TextsOf(const Entry& entry) const {
  if (entry.spilled) {
    std::uint32_t at = 0;
    std::memcpy(&at, entry.text, sizeof at);
    return {spilled_[at].texts.data(), spilled_[at].length};
  }
  return {entry.text, {entry.length[0], entry.length[1], entry.length[2]}};
}

std::string_view FirstRowIndex::Key(const Entry& entry) const {
  const Texts texts = TextsOf(entry);
  return std::string_view(texts.data, texts.length[0]);
}

void FirstRowIndex::Emplace(std::string_view key, std::size_t row, const Copies& copies) {
  // Rows are kept in 32 bits, as a dBase table counts its records.
  if (row >= kFree) throw std::length_error("a row beyond what an index holds");
  std::size_t i = Home(key);
  for (; slots_[i].row != kFree; i = (i + 1) & mask_) {
    if (Key(slots_[i]) == key) return;
  }
  if (2 * (count_ + 1) > slots_.size()) {
    Grow();
    for (i = Home(key); slots_[i].row != kFree;) i = (i + 1) & mask_;
  }
  ++count_;
  Entry& entry = slots_[i];
  entry.row = static_cast<std::uint32_t>(row);
  const std::array<std::string_view, kTexts> texts{key, copies[0], copies[1]};
  std::size_t total = 0;
  for (const std::string_view text : texts) total += text.size();
  if (total <= sizeof entry.text) {
    char* out = entry.text;
    for (std::size_t t = 0; t < kTexts; ++t) {
      entry.length[t] = static_cast<std::uint8_t>(texts[t].size());
      out = std::copy(texts[t].begin(), texts[t].end(), out);
    }
    return;
  }
  Spilled spilled;
  for (std::size_t t = 0; t < kTexts; ++t) {
    spilled.texts += texts[t];
    spilled.length[t] = static_cast<std::uint32_t>(texts[t].size());
  }
  const auto at = static_cast<std::uint32_t>(spilled_.size());
  spilled_.push_back(std::move(spilled));
  entry.spilled = true;
  std::memcpy(entry.text, &at, sizeof at);
}

void FirstRowIndex::Grow() {
  std::vector<Entry> old(slots_.size() * 2);
  old.swap(slots_);
  mask_ = slots_.size() - 1;
  for (const Entry& entry : old) {
    if (entry.row == kFree) continue;
    std::size_t i = Home(Key(entry));
    while (slots_[i].row != kFree) i = (i + 1) & mask_;
    slots_[i] = entry;
  }
}

std::optional<FirstRowIndex::Found> FirstRowIndex::Find(std::string_view key) const {
  for (std::size_t i = Home(key);; i = (i + 1) & mask_) {
    const Entry& entry = slots_[i];
    if (entry.row == kFree) return std::nullopt;
    if (!entry.spilled && entry.length[0] != key.size()) continue;
    const Texts texts = TextsOf(entry);
    if (std::string_view(texts.data, texts.length[0]) != key) continue;
    Found found{entry.row, {}};
    const char* at = texts.data + texts.length[0];
    for (std::size_t c = 0; c < kCopies; ++c) {
      found.copies[c] = std::string_view(at, texts.length[1 + c]);
      at += texts.length[1 + c];
    }
    return found;
  }
}

void FirstRowIndex::Prefetch(std::string_view key) const { __builtin_prefetch(&slots_[Home(key)]); }

}  // namespace tvb
