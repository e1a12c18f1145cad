// The memory of this process as the kernel counts it (/proc/self/status):
// the resident set now and its peak since the last reset.
#pragma once

namespace bench {

// Kibibytes; 0 when the line cannot be read.
long ResidentKib();
long PeakResidentKib();
// Resets the peak to the current resident set (/proc/self/clear_refs "5").
// Returns false when the kernel does not allow it.
bool ResetPeak();

}  // namespace bench
