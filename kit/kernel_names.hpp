// The sorts of the kit as the precise record and the tools name them: the
// kernel's own name, and the words a legend or a sentence uses for it.
// Data only, so the parameter headers and the tools read them without the kit.
#pragma once

#include <array>
#include <string_view>

namespace kit {

struct KernelName {
  std::string_view name;    // as the record names it: "QSORT"
  std::string_view legend;  // as a reader calls it: "quicksort"
};

inline constexpr KernelName kQuicksortName{"QSORT", "quicksort"};
inline constexpr KernelName kRecursiveQuicksortName{"REKQSORT", "recursive quicksort"};
inline constexpr KernelName kCombinedQuicksortName{"COMQSORT", "combined quicksort"};
inline constexpr KernelName kCountingSortName{"CSORT", "counting sort"};
inline constexpr KernelName kMergeSortName{"MSORT", "merge sort"};
inline constexpr KernelName kHeapSortName{"HSORT", "heap sort"};
inline constexpr KernelName kBubbleSortName{"BSORT", "bubble sort"};
inline constexpr KernelName kInsertionSortName{"ISORT", "insertion sort"};
inline constexpr KernelName kSelectionSortName{"SSORT", "selection sort"};

inline constexpr std::array kKernelNames{kQuicksortName,    kRecursiveQuicksortName, kCombinedQuicksortName,
                                         kCountingSortName, kMergeSortName,          kHeapSortName,
                                         kBubbleSortName,   kInsertionSortName,      kSelectionSortName};

// The legend of the kernel the record calls `name`; empty for none of the kit's.
constexpr std::string_view kernel_legend(std::string_view name) {
  for (const KernelName& kernel : kKernelNames) {
    if (kernel.name == name) return kernel.legend;
  }
  return {};
}

}  // namespace kit
