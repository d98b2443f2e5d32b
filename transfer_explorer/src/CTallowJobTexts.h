#pragma once
// The transfer explorer's job texts of its own, kept apart from the ones the program has
// always had: questions that name the real cause of a copy that did not happen.
#include "CJobPolicy.h"

class CTallowJobTexts {
  public:
    static void Add(CJobPolicy& policy);
};
