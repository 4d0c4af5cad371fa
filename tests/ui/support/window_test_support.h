// Helpers for the window tests.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "warnings.h"

class QWidget;

namespace kelvo::test {

// A warning sink for window tests: keeps the texts instead of showing the
// modal notice.
using RecordingWarnings = CollectingWarningSink;

// Runs `act` on the modal window that is about to block in exec(), as soon
// as the event loop of that exec() runs. The test then calls the code that
// opens the window and continues when `act` has closed it. `act` gets
// nullptr when no modal window was open.
void WhenModalShown(std::function<void(QWidget*)> act);

}  // namespace kelvo::test
