// Windows: the physical memory available now and the commit charge still
// allowed, as GlobalMemoryStatusEx reports them, and the limits of a job
// object the tool runs in, if any.
#include "study/os/memory.hpp"

#include "study/os/windows/layer.hpp"

namespace study::os {
namespace {

// JobObjectMemoryUsageInformation (Windows 10): what the job's processes hold now.
constexpr JOBOBJECTINFOCLASS kJobMemoryUsage = static_cast<JOBOBJECTINFOCLASS>(28);
struct JobMemoryUsage {
  ULONG64 job_memory = 0;
  ULONG64 peak_job_memory_used = 0;
};

void add_job_limits(std::vector<MemoryLimit>& limits) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION job{};
  // The job of this process: absent when it runs in none.
  if (!QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &job, sizeof job, nullptr)) return;
  const DWORD flags = job.BasicLimitInformation.LimitFlags;
  if ((flags & JOB_OBJECT_LIMIT_PROCESS_MEMORY) != 0) {
    limits.push_back({static_cast<std::int64_t>(job.ProcessMemoryLimit), "the job object's memory limit per process"});
  }
  if ((flags & JOB_OBJECT_LIMIT_JOB_MEMORY) != 0) {
    JobMemoryUsage usage;
    const bool known = QueryInformationJobObject(nullptr, kJobMemoryUsage, &usage, sizeof usage, nullptr) != 0;
    const auto limit = static_cast<std::int64_t>(job.JobMemoryLimit);
    limits.push_back(known ? MemoryLimit{limit - static_cast<std::int64_t>(usage.job_memory),
                                         "the job object's memory limit less what its processes hold"}
                           : MemoryLimit{limit, "the job object's memory limit"});
  }
}

}  // namespace

std::vector<MemoryLimit> memory_limits() {
  std::vector<MemoryLimit> limits;
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (GlobalMemoryStatusEx(&status)) {
    limits.push_back({static_cast<std::int64_t>(status.ullAvailPhys), "the available physical memory"});
    limits.push_back(
        {static_cast<std::int64_t>(status.ullAvailPageFile), "the commit charge still allowed (memory and page file)"});
  }
  add_job_limits(limits);
  return limits;
}

}  // namespace study::os
