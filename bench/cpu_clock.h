// The clock of every measurement: the CPU time this process has used, user
// and system. On a shared machine the wall clock also counts the time other
// work held the processor, which varies from run to run by a quarter and
// more; the process's own time does not. Waiting for the disk is not
// counted either, so the work folder belongs in memory (/dev/shm), where a
// commit does not wait.
#pragma once

#include <time.h>

namespace bench {

// Seconds of CPU time used by this process so far.
inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace bench
