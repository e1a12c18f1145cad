// The one table the benchmark prints: a line per measured operation and
// size, with its rows, median seconds, rows per second, ratio to the per-row
// text ceiling of the same rows, and the growth of its time from the
// previous size.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace bench {

struct Measurement {
  std::string size;       // the size's label
  std::string operation;  // "export Feature", "export total", "import", ...
  long long rows = 0;
  double seconds = 0;
  double ceilingSeconds = 0;  // 0: no ratio
};

class ResultTable {
 public:
  void Add(const Measurement& measurement);
  // Prints all lines; the growth of an operation is its seconds divided by
  // those of the same operation at the previous size added, and the rows'
  // growth with it.
  void Print(std::ostream& out) const;

  // The growth of an operation's time from the previous size; 0 when it is
  // its first size.
  double Growth(size_t index) const;
  const std::vector<Measurement>& lines() const { return lines_; }

 private:
  std::vector<Measurement> lines_;
};

}  // namespace bench
