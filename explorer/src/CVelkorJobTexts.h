#pragma once
// The device explorer's job texts of its own, kept apart from the ones the program has always
// had: questions and messages that name the real cause of a copy that did not happen.
#include <QCoreApplication>

#include "CJobPolicy.h"

class CVelkorJobTexts {
    Q_DECLARE_TR_FUNCTIONS(CVelkorJobTexts)
  public:
    static void Add(CJobPolicy& policy);
};
