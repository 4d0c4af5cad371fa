// Helpers for the window tests.
#pragma once

#include <string>
#include <vector>

#include "warnings.h"

namespace kelvo::test {

// A warning sink for window tests: keeps the texts instead of showing the
// modal notice.
using RecordingWarnings = CollectingWarningSink;

}  // namespace kelvo::test
