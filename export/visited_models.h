// The models an assembly walk has already written under a component name.
// A walk that visits the component tree once per assembly configuration
// reaches each model again and again (and through every instance of it);
// the rows of one name and one model are the same every time, so they are
// made once.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "host/host_model_doc.h"

class VisitedModels {
 public:
  // True the first time the name comes with this model file, false after.
  bool FirstVisit(std::u16string_view compName, IHostModelDoc* model);

 private:
  // The component name, a line break and the model's path.
  std::set<std::u16string> visited_;
};
