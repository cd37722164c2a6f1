#include "study/charts/time_ratio.hpp"

#include "analysis/text/text_format.hpp"

namespace study {

int Ratio::side() const {
  if (!known) return 0;
  if (bound == 0) return value > 1 ? 1 : value < 1 ? -1 : 0;
  if (bound < 0) return value <= 1 ? -1 : 0;
  return value >= 1 ? 1 : 0;
}

Ratio ratio_of(std::int64_t numerator, std::int64_t denominator) {
  Ratio ratio;
  if (numerator < 0 || denominator < 0 || (numerator == 0 && denominator == 0)) return ratio;
  ratio.known = true;
  if (numerator == 0) {
    ratio.value = 1.0 / static_cast<double>(denominator);
    ratio.bound = -1;
  } else if (denominator == 0) {
    ratio.value = static_cast<double>(numerator);
    ratio.bound = 1;
  } else {
    ratio.value = static_cast<double>(numerator) / static_cast<double>(denominator);
  }
  return ratio;
}

std::string ratio_text(const Ratio& ratio) {
  if (!ratio.known) return "\xe2\x80\x93";
  const std::string bound = ratio.bound < 0 ? "<" : ratio.bound > 0 ? ">" : "";
  return bound + analysis::format_factor(ratio.value, analysis::FactorForm::cell);
}

}  // namespace study
