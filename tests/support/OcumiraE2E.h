#pragma once
// The fixture of the end-to-end tests that run the real program: each test starts its own
// X server and Wine session; without a Windows build to run, the test is skipped.
#include <gtest/gtest.h>

#include "e2e/Harness.h"

namespace ocu::e2e {

class OcumiraE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OcumiraBuilt()) GTEST_SKIP() << "no Ocumira.exe configured";
    }
};

}  // namespace ocu::e2e
