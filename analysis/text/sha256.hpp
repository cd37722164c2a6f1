// SHA-256 of a stream of bytes, as 64 lower-case hexadecimal digits (the
// form sha256sum prints). The study keeps the hash of an input file it
// removes, so that a file regenerated from the run's seed can be checked.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace analysis {

class Sha256 {
 public:
  // Takes the next bytes of the message; any split of a message gives the same hash.
  void add(std::string_view bytes);
  // The hash of every byte added so far; more may be added after it.
  std::string hex_digest() const;
  std::uint64_t bytes_added() const { return length_; }

 private:
  static constexpr std::size_t kBlockBytes = 64;
  void compress(const unsigned char* block);

  // The initial hash value: the first 32 bits of the fractional parts of
  // the square roots of the first eight primes.
  std::array<std::uint32_t, 8> state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<unsigned char, kBlockBytes> pending_{};  // the start of an unfinished block
  std::size_t pending_size_ = 0;
  std::uint64_t length_ = 0;  // in bytes
};

// The hash of `bytes` alone.
std::string sha256_hex(std::string_view bytes);

}  // namespace analysis
