// study_os_probe: a small program the tests of the tools' operating-system
// layer start as a child.
//   study_os_probe memory MIB   holds MIB mebibytes resident, then exits 0
//   study_os_probe folder       prints the folder the layer finds for its
//                               own executable from argv[0], or "unknown"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "study/os/executable_folder.hpp"

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "memory" && argc > 2) {
    const std::size_t bytes = std::strtoull(argv[2], nullptr, 10) << 20;
    std::vector<unsigned char> held(bytes);
    for (std::size_t i = 0; i < held.size(); i += 4096) held[i] = static_cast<unsigned char>(i >> 12);
    unsigned sum = 0;
    for (std::size_t i = 0; i < held.size(); i += 4096) sum += held[i];
    std::printf("held %zu bytes (%u)\n", bytes, sum);
    return 0;
  }
  if (mode == "folder") {
    const auto folder = study::os::executable_folder(argv[0]);
    std::printf("%s\n", folder ? folder->c_str() : "unknown");
    return 0;
  }
  std::fprintf(stderr, "usage: study_os_probe memory MIB | folder\n");
  return 2;
}
