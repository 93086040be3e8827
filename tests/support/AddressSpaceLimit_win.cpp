#include "AddressSpaceLimit.h"

#include <windows.h>

#include <psapi.h>

namespace TestSupport {
namespace {

JOBOBJECT_EXTENDED_LIMIT_INFORMATION limitOf(std::size_t bytes) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
    if (bytes != 0) {
        info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        info.ProcessMemoryLimit = bytes;
    }
    return info;
}

}  // namespace

AddressSpaceLimit::AddressSpaceLimit(std::size_t headroom) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return;
    m_job = CreateJobObjectW(nullptr, nullptr);
    if (!m_job)
        return;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION info = limitOf(counters.PrivateUsage + headroom);
    if (!SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &info, sizeof info) ||
        !AssignProcessToJobObject(m_job, GetCurrentProcess()))
        return;
    // A system that accepts the limit but does not enforce it lets twice the headroom through.
    void* probe = VirtualAlloc(nullptr, 2 * headroom, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    m_enforced = probe == nullptr;
    if (probe)
        VirtualFree(probe, 0, MEM_RELEASE);
}

AddressSpaceLimit::~AddressSpaceLimit() {
    if (!m_job)
        return;
    // A process cannot leave its job: the limit is lifted instead.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION info = limitOf(0);
    SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &info, sizeof info);
    CloseHandle(m_job);
}

}  // namespace TestSupport
