// SHA-256 against the published test vectors and digests from sha256sum:
// the padding at every block boundary, and the same hash whatever the
// message's split into pieces.
#include "analysis/text/sha256.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using analysis::Sha256;
using analysis::sha256_hex;

TEST(Sha256, MatchesThePublishedVectors) {
  EXPECT_EQ(sha256_hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(sha256_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(sha256_hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(
      sha256_hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopq"
                 "rstnopqrstu"),
      "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
  EXPECT_EQ(sha256_hex(std::string(1'000'000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// 55 bytes leave room for the length in the last block, 56 do not; 64 fill
// it exactly; 119 and 120 are the same boundary one block on.
TEST(Sha256, PadsAroundEveryBlockBoundary) {
  const std::pair<std::size_t, const char*> cases[] = {
      {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {65, "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
      {119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
      {120, "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
  };
  for (const auto& [length, digest] : cases) EXPECT_EQ(sha256_hex(std::string(length, 'a')), digest) << length;
}

TEST(Sha256, AnySplitOfTheMessageGivesTheSameHash) {
  std::string message;
  for (int i = 0; i < 1000; ++i) message += static_cast<char>(i * 37 % 256);  // every byte value, zeros too
  const std::string whole = sha256_hex(message);
  for (const std::size_t piece : {1u, 3u, 63u, 64u, 65u, 200u}) {
    Sha256 hash;
    for (std::size_t at = 0; at < message.size(); at += piece) hash.add(std::string_view(message).substr(at, piece));
    EXPECT_EQ(hash.hex_digest(), whole) << "pieces of " << piece;
    EXPECT_EQ(hash.bytes_added(), message.size());
  }
  // The digest so far leaves the hash open for more; nothing added is nothing.
  Sha256 running;
  running.add(std::string_view());
  running.add("ab");
  EXPECT_EQ(running.hex_digest(), sha256_hex("ab"));
  running.add("c");
  EXPECT_EQ(running.hex_digest(), sha256_hex("abc"));
}

}  // namespace
