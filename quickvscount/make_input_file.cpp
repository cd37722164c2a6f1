// MAKEFILE: writes the inputs of the duel to "vstup.in".
#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "kit/file_names.hpp"
#include "kit/random_source.hpp"
#include "kit/runtime_error.hpp"
#include "kit/text_output.hpp"
#include "quickvscount/input_draws.hpp"
#include "quickvscount/input_file.hpp"

namespace quickvscount {

void MAKEFILE(const InputTable& inputs, std::uint32_t seed) {
  kit::ActiveRoutine routine("MAKEFILE");
  kit::TextFile SUBOR;
  kit::RandomSource random(seed);
  SUBOR.create(kit::kInputFileName);

  // Values are formatted into a staging area and handed to the file's
  // 256-byte blocks a few thousand bytes at a time, not value by value.
  std::array<char, 4096> staging{};
  constexpr std::ptrdiff_t kRoomForOneValue = 16;  // ten digits, a space, CR LF
  char* const staging_end = staging.data() + staging.size();
  // The digits never reach the room kept for a space and CR LF; bounding them
  // there tells the compiler so (MinGW's g++ 12 warns otherwise).
  char* const digits_end = staging_end - 3;
  char* out = staging.data();
  const auto hand_over = [&] {
    SUBOR.write(std::string_view(staging.data(), static_cast<std::size_t>(out - staging.data())));
    out = staging.data();
  };

  for (std::size_t I = 0; I < inputs.POCET_PRVKOV.size(); ++I) {
    const std::int32_t count = inputs.POCET_PRVKOV[I];
    const std::int32_t range = inputs.ROZSAH_VSTUPU[I];
    SUBOR.write_integer(count);
    SUBOR.end_line();
    draw_input_values(random, count, range,
                      [&](const std::int32_t* drawn, std::int32_t line_first, std::int32_t line_count) {
                        for (std::int32_t k = 0; k < line_count; ++k) {
                          const std::int32_t J = line_first + k;
                          out = std::to_chars(out, digits_end, drawn[k]).ptr;
                          *out++ = ' ';
                          if (J % 1000 == 0) {
                            *out++ = '\r';
                            *out++ = '\n';
                          }
                          if (staging_end - out < kRoomForOneValue) hand_over();
                        }
                      });
    hand_over();
    SUBOR.end_line();
  }
  SUBOR.close();
}

}  // namespace quickvscount
