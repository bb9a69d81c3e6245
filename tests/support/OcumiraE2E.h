#pragma once
// The fixture of the end-to-end tests that run the real programs: each test starts its own
// X server and its programs on it; a test whose program was not built is skipped.
#include <gtest/gtest.h>

#include "e2e/Harness.h"

namespace ocu::e2e {

class OcumiraE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!EdgeBuilt(TestedEdge())) GTEST_SKIP() << "the program for this edge is not built";
    }
    // The program the test drives: Ocumira.exe under Wine unless the suite runs on both.
    virtual Edge TestedEdge() const { return Edge::Wine; }
};

// A suite whose every scenario runs against both programs: derive its fixture from
// OnBothEdges<fixture>, write its tests with TEST_P, and put OCU_ON_BOTH_EDGES(suite) after
// them. The native program is held to exactly what Ocumira.exe is held to.
template <class Fixture>
class OnBothEdges : public Fixture, public ::testing::WithParamInterface<Edge> {
protected:
    Edge TestedEdge() const override { return this->GetParam(); }
};
#define OCU_ON_BOTH_EDGES(Suite) \
    INSTANTIATE_TEST_SUITE_P(, Suite, ::testing::Values(Edge::Wine, Edge::Native), EdgeName)

}  // namespace ocu::e2e
