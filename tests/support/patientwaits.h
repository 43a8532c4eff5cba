#pragma once

// Window tests wait for work on other threads (the file-system model, scans).
// On a loaded machine that can take longer than Qt's five seconds.
#include <QtTest>

#undef QTRY_COMPARE
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT(expr, expected, 30000)
#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 30000)
