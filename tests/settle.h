// Waits, with a deadline, until every folder read a test started has landed
// in the lists and nothing waits its turn.
//
//   list.set(toolkit::prop::Path, folder.path());
//   ASSERT_TRUE(settle());
#pragma once

#include "toolkit/testing.h"

#include <QTest>

inline bool settle()
{
    return QTest::qWaitFor([] { return toolkit::folders_settled(); }, 10000);
}
