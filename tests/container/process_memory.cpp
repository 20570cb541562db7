#include "process_memory.h"

#include <windows.h>

namespace cardel::host {

long long CommittedPrivateBytes() {
  long long total = 0;
  MEMORY_BASIC_INFORMATION info{};
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += static_cast<long long>(info.RegionSize);
  }
  return total;
}

}  // namespace cardel::host
