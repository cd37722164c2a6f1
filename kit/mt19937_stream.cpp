#include "kit/mt19937_stream.hpp"

#include <algorithm>

namespace kit {

using namespace mt19937_blocks;

namespace {

std::uint32_t scale_from_one(std::uint32_t output, std::uint32_t bound) {
  return static_cast<std::uint32_t>((std::uint64_t{bound} * output) >> 32) + 1u;
}

}  // namespace

Mt19937Stream::Mt19937Stream(std::uint32_t seed, Kernel kernel)
    : vector_(kernel == Kernel::fastest_available && !vector_instructions().empty()) {
  state_[0] = seed;
  for (std::uint32_t i = 1; i < kStateWords; ++i) {
    state_[i] = 1812433253u * (state_[i - 1] ^ (state_[i - 1] >> 30)) + i;
  }
}

std::string_view Mt19937Stream::kernel_name() const { return vector_ ? vector_instructions() : "portable"; }

template <bool kScaled>
void Mt19937Stream::advance(std::uint32_t* out, std::size_t blocks, std::uint32_t bound) {
  while (blocks > 0) {
    if (next_block_ == kBlocks) next_block_ = 0;
    // Block 0 runs alone: the mirror must hold its new words before block
    // 28 and block 77 read them.
    const bool early = next_block_ < kFirstLateBlock;
    const std::size_t run_end = next_block_ == 0 ? 1 : early ? kFirstLateBlock : kBlocks;
    const BlockRun run{
        .state = state_,
        .first = next_block_,
        .count = std::min(blocks, run_end - next_block_),
        .distance = early ? static_cast<std::ptrdiff_t>(kMiddleDistance)
                          : static_cast<std::ptrdiff_t>(kMiddleDistance) - static_cast<std::ptrdiff_t>(kStateWords),
    };
    if constexpr (kScaled) {
      vector_ ? advance_vector(run, out, bound) : advance_portable(run, out, bound);
    } else {
      vector_ ? advance_vector(run, out) : advance_portable(run, out);
    }
    if (next_block_ == 0) std::copy_n(state_, kBlockWords, state_ + kStateWords);
    next_block_ += run.count;
    blocks -= run.count;
    out += run.count * kBlockWords;
  }
}

void Mt19937Stream::refill_pending() {
  advance<false>(pending_, 1, 0);
  pending_next_ = 0;
}

std::uint32_t Mt19937Stream::next() {
  if (pending_next_ == kBlockWords) refill_pending();
  return pending_[pending_next_++];
}

void Mt19937Stream::fill(std::uint32_t* first, std::size_t count) {
  for (; count > 0 && pending_next_ < kBlockWords; --count) *first++ = pending_[pending_next_++];
  const std::size_t blocks = count / kBlockWords;
  advance<false>(first, blocks, 0);
  first += blocks * kBlockWords;
  count -= blocks * kBlockWords;
  if (count == 0) return;
  refill_pending();
  for (; count > 0; --count) *first++ = pending_[pending_next_++];
}

void Mt19937Stream::fill_from_one_to(std::uint32_t* first, std::size_t count, std::uint32_t bound) {
  for (; count > 0 && pending_next_ < kBlockWords; --count) *first++ = scale_from_one(pending_[pending_next_++], bound);
  const std::size_t blocks = count / kBlockWords;
  advance<true>(first, blocks, bound);
  first += blocks * kBlockWords;
  count -= blocks * kBlockWords;
  if (count == 0) return;
  refill_pending();
  for (; count > 0; --count) *first++ = scale_from_one(pending_[pending_next_++], bound);
}

}  // namespace kit
