#pragma once
// What the run summary (installSummary) needs to know from registration.

#include <memory>

namespace testing {
class TestInfo;
}

namespace quillon_tests {

struct SelectionSummary;

namespace detail {

/// Records that the GoogleTest test `test` was made by the known-answer
/// builder call that `selection` summarises (nothing when it is null).
void rememberSelection(const ::testing::TestInfo& test,
                       std::shared_ptr<const SelectionSummary> selection);

}  // namespace detail
}  // namespace quillon_tests
