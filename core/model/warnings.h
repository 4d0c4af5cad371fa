// The warning notice as the core sees it: every problem that KELVO detects
// itself is reported through a sink. The desktop program shows each text in
// its modal warning notice; the batch tool and the tests collect them.
#pragma once

#include <string>
#include <vector>

namespace kelvo {

class WarningSink {
public:
    virtual ~WarningSink() = default;
    // Reports one warning and returns when the user has seen it.
    virtual void ShowWarning(const std::string& text) = 0;
};

// Keeps every warning in the order it was reported.
class CollectingWarningSink : public WarningSink {
public:
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    std::vector<std::string> warnings;
};

}  // namespace kelvo
