// Windows: the processor's name from the registry (or the processor itself),
// the logical processors of every group, the physical memory, and the
// edition and version of Windows, with Wine's version when Wine runs it.
#include "study/os/machine.hpp"

#include <cpuid.h>

#include <array>
#include <cstring>

#include "study/os/windows/layer.hpp"

namespace study::os {
namespace {

using windows_layer::machine_registry_text;

constexpr const wchar_t* kProcessorKey = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr const wchar_t* kVersionKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// A function of ntdll, looked up by name: RtlGetVersion tells the true
// version where GetVersionEx tells what the manifest allows, and only Wine
// has wine_get_version.
template <typename Function>
Function ntdll_function(const char* name) {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const FARPROC address = ntdll != nullptr ? GetProcAddress(ntdll, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

std::string processor_brand() {
  std::string brand = machine_registry_text(kProcessorKey, L"ProcessorNameString");
#if defined(__x86_64__) || defined(__i386__)
  if (brand.empty() && __get_cpuid_max(0x80000000, nullptr) >= 0x80000004) {
    std::array<unsigned, 12> words{};
    for (unsigned leaf = 0; leaf < 3; ++leaf) {
      __get_cpuid(0x80000002 + leaf, &words[leaf * 4], &words[leaf * 4 + 1], &words[leaf * 4 + 2],
                  &words[leaf * 4 + 3]);
    }
    std::array<char, sizeof words + 1> text{};
    std::memcpy(text.data(), words.data(), sizeof words);
    brand = text.data();
    brand.erase(0, brand.find_first_not_of(' '));
  }
#endif
  return brand;
}

std::string architecture() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
      return "x86_64";
    case PROCESSOR_ARCHITECTURE_ARM64:
      return "arm64";
    case PROCESSOR_ARCHITECTURE_INTEL:
      return "x86";
    default:
      return "unknown architecture";
  }
}

// "Windows 11 Pro 23H2, Windows 10.0.22631 x86_64", with "(Wine 8.0)" under Wine.
std::string windows_version() {
  RTL_OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  using GetVersion = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  const auto get_version = ntdll_function<GetVersion>("RtlGetVersion");
  if (get_version == nullptr || get_version(&version) != 0) return {};
  std::string edition = machine_registry_text(kVersionKey, L"ProductName");
  // Windows 11 kept Windows 10's product name; its builds start at 22000.
  if (const std::size_t ten = edition.find("Windows 10"); ten != std::string::npos && version.dwBuildNumber >= 22000) {
    edition.replace(ten, 10, "Windows 11");
  }
  const std::string release = machine_registry_text(kVersionKey, L"DisplayVersion");
  if (!edition.empty() && !release.empty()) edition += " " + release;
  std::string text = (edition.empty() ? "" : edition + ", ") + "Windows " + std::to_string(version.dwMajorVersion) +
                     "." + std::to_string(version.dwMinorVersion) + "." + std::to_string(version.dwBuildNumber) + " " +
                     architecture();
  using WineVersion = const char*(CDECL*)();
  if (const auto wine_version = ntdll_function<WineVersion>("wine_get_version")) {
    text += " (Wine " + std::string(wine_version()) + ")";
  }
  return text;
}

}  // namespace

Machine describe_machine() {
  Machine machine;
  machine.processor = processor_brand();
  machine.processors = processor_count();
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (GlobalMemoryStatusEx(&status)) machine.memory_bytes = static_cast<std::int64_t>(status.ullTotalPhys);
  machine.operating_system = windows_version();
  return machine;
}

int processor_count() { return static_cast<int>(GetActiveProcessorCount(ALL_PROCESSOR_GROUPS)); }

std::string host_name() {
  std::array<wchar_t, 256> name{};
  DWORD size = static_cast<DWORD>(name.size());
  if (!GetComputerNameExW(ComputerNameDnsHostname, name.data(), &size)) return {};
  return windows_layer::utf8(std::wstring_view(name.data(), size));
}

}  // namespace study::os
