#include "bench/result_table.h"

#include <cstdio>

namespace bench {

void ResultTable::Add(const Measurement& measurement) { lines_.push_back(measurement); }

double ResultTable::Growth(size_t index) const {
  for (size_t i = index; i-- > 0;) {
    if (lines_[i].operation == lines_[index].operation && lines_[i].size != lines_[index].size) {
      return lines_[i].seconds > 0 ? lines_[index].seconds / lines_[i].seconds : 0;
    }
  }
  return 0;
}

void ResultTable::Print(std::ostream& out) const {
  char line[256];
  std::snprintf(line, sizeof line, "%-8s %-24s %9s %10s %12s %9s %14s\n", "size", "operation",
                "rows", "seconds", "rows/s", "/ceiling", "growth (rows)");
  out << line;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Measurement& m = lines_[i];
    const double rate = m.seconds > 0 ? static_cast<double>(m.rows) / m.seconds : 0;
    char ratio[32] = "-";
    // The ratio of speeds: the ceiling's time over this operation's time.
    if (m.ceilingSeconds > 0 && m.seconds > 0) {
      std::snprintf(ratio, sizeof ratio, "%.2f", m.ceilingSeconds / m.seconds);
    }
    char growth[48] = "-";
    if (double g = Growth(i); g > 0) {
      long long previousRows = 0;
      for (size_t j = i; j-- > 0;) {
        if (lines_[j].operation == m.operation && lines_[j].size != m.size) {
          previousRows = lines_[j].rows;
          break;
        }
      }
      std::snprintf(growth, sizeof growth, "%.2f (%.1fx)", g,
                    previousRows ? static_cast<double>(m.rows) / previousRows : 0.0);
    }
    std::snprintf(line, sizeof line, "%-8s %-24s %9lld %10.4f %12.0f %9s %14s\n", m.size.c_str(),
                  m.operation.c_str(), m.rows, m.seconds, rate, ratio, growth);
    out << line;
  }
}

}  // namespace bench
