// Which of a table's slots are free, as bits.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace tc {

// Free slots as bits, so the lowest free slot and the ends of a run are found a word at a time.
template <int kSlotCount>
class SlotBits {
 public:
  SlotBits() { SetAll(); }
  void SetAll() {
    words_.fill(~uint64_t{0});
    words_.back() &= kLastMask;
  }
  bool Test(int slot) const { return (words_[slot / 64] >> (slot % 64)) & 1U; }
  void Set(int slot, bool is_free) {
    const uint64_t bit = uint64_t{1} << (slot % 64);
    if (is_free) {
      words_[slot / 64] |= bit;
    } else {
      words_[slot / 64] &= ~bit;
    }
  }
  int Count() const {
    int n = 0;
    for (uint64_t w : words_) n += std::popcount(w);
    return n;
  }
  // First free slot at or after `from`; kSlotCount when none.
  int NextFrom(int from) const {
    if (from >= kSlotCount) return kSlotCount;
    size_t w = static_cast<size_t>(from / 64);
    uint64_t bits = words_[w] & (~uint64_t{0} << (from % 64));
    while (bits == 0) {
      if (++w == words_.size()) return kSlotCount;
      bits = words_[w];
    }
    return static_cast<int>(w * 64) + std::countr_zero(bits);
  }
  // Last free slot before `before`; -1 when none.
  int PrevBefore(int before) const {
    if (before <= 0) return -1;
    const int last = before - 1;
    int w = last / 64;
    const int shift = 63 - last % 64;
    uint64_t bits = (words_[w] << shift) >> shift;
    while (bits == 0) {
      if (--w < 0) return -1;
      bits = words_[w];
    }
    return w * 64 + 63 - std::countl_zero(bits);
  }
  // Slot i becomes slot i + n (n < 64); the top n fall off, the bottom n are not free.
  void ShiftUp(int n) {
    for (size_t w = words_.size(); w-- > 0;) {
      const uint64_t low = w > 0 ? words_[w - 1] >> (64 - n) : 0;
      words_[w] = (words_[w] << n) | low;
    }
    words_.back() &= kLastMask;
  }

 private:
  static constexpr size_t kWords = (kSlotCount + 63) / 64;
  static constexpr uint64_t kLastMask =
      kSlotCount % 64 == 0 ? ~uint64_t{0} : (uint64_t{1} << (kSlotCount % 64)) - 1;
  std::array<uint64_t, kWords> words_{};
};

}  // namespace tc
