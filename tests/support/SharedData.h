#pragma once

// Tests on the real data kept beside the repository (support/TestSupport.h,
// sharedDataFolder): skipped, saying so, where it is not there.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

// The JET test files (shared/data/jet) in `folder`, or the test is skipped.
#define KORVAN_REQUIRE_JET_DATA(folder)                                                                                \
    const std::string folder = ::korvan::test::sharedDataFolder("jet");                                                \
    if (folder.empty())                                                                                                \
    GTEST_SKIP() << "the JET test files (shared/data/jet) are not there"
