#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "db/db_exception.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace db_testing {

// The DbException the action raised; a failure when it raised none.
template <typename Action>
DbException Raised(Action&& action) {
  try {
    std::forward<Action>(action)();
  } catch (const DbException& e) {
    return e;
  }
  ADD_FAILURE() << "no DbException was raised";
  return DbException(-1, u"(nothing raised)");
}

// The UTF-16 path of a database file inside the directory.
inline std::u16string DbPath(const testing_support::TempDir& dir, const std::string& name) {
  return platform::Utf8ToUtf16((dir / name).string());
}

}  // namespace db_testing
