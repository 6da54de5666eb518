// Every game test runs headless, also one that builds a form without a fixture: a real dialog
// would wait for a person.
#include <gtest/gtest.h>

#include "platform/vcl/forms.h"

namespace {
class HeadlessEnvironment : public ::testing::Environment {
public:
    void SetUp() override { Platform::UseHeadless(); }
};

[[maybe_unused]] ::testing::Environment* const gHeadless =
    ::testing::AddGlobalTestEnvironment(new HeadlessEnvironment);
}  // namespace
