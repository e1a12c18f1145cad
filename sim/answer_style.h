// The forms in which the simulated host writes its answers. The host's
// published reference leaves several forms open (a list as an array of its
// own type or of VARIANTs, "no object" as a null object or as nothing); the
// default is the form the real host is seen to use, and a test of the
// binding can ask for the others.
#pragma once

#include "platform/win_types.h"

namespace sim {

struct AnswerStyle {
  enum class Lists {
    kTyped,     // VT_ARRAY | VT_BSTR, VT_I4, VT_R8, VT_BOOL, VT_DISPATCH
    kVariants,  // VT_ARRAY | VT_VARIANT, each element of the type above
  };
  enum class NoObject {
    kNullDispatch,  // VT_DISPATCH holding null
    kEmpty,         // VT_EMPTY
    kNull,          // VT_NULL
  };

  Lists lists = Lists::kTyped;
  NoObject noObject = NoObject::kNullDispatch;
  // How true is written: VARIANT_TRUE (-1), or 1 as a sloppy host does.
  VARIANT_BOOL trueValue = VARIANT_TRUE;
};

}  // namespace sim
