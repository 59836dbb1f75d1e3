// Comparing section records coefficient by coefficient.
#pragma once

#include "engine/filters/BiquadCoefs.h"

#include <gtest/gtest.h>

namespace crumlet_test
{
inline void expectCoefsNear(const BiquadCoefs& expected, const BiquadCoefs& actual, double tol)
{
    EXPECT_NEAR(expected.b0, actual.b0, tol);
    EXPECT_NEAR(expected.b1, actual.b1, tol);
    EXPECT_NEAR(expected.b2, actual.b2, tol);
    EXPECT_NEAR(expected.a0, actual.a0, tol);
    EXPECT_NEAR(expected.a1, actual.a1, tol);
    EXPECT_NEAR(expected.a2, actual.a2, tol);
}
} // namespace crumlet_test
