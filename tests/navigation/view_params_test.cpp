#include <gtest/gtest.h>

#include "navigation/view_params.h"

using kavelo::navigation::MoveDown;
using kavelo::navigation::MoveLeft;
using kavelo::navigation::MoveRight;
using kavelo::navigation::MoveUp;
using kavelo::navigation::PerspectiveMinus;
using kavelo::navigation::PerspectivePlus;
using kavelo::navigation::RotateXMinus;
using kavelo::navigation::RotateXPlus;
using kavelo::navigation::RotateYMinus;
using kavelo::navigation::RotateYPlus;
using kavelo::navigation::RotateZMinus;
using kavelo::navigation::RotateZPlus;
using kavelo::navigation::StepAngleDown;
using kavelo::navigation::StepAngleUp;
using kavelo::navigation::ZoomIn;
using kavelo::navigation::ZoomOut;

namespace {

void Repeat(void (*step)(ViewParams&), ViewParams& p, int times) {
    for (int i = 0; i < times; ++i) {
        step(p);
    }
}

TEST(ViewParams, ResetRestoresEveryDefault) {
    ViewParams p;
    p.m_dShiftX = p.m_dShiftY = p.m_dShiftStep = p.m_dStretchX = p.m_dStretchY = 7.0;
    p.m_dStretchZ = p.m_dStretchFactor = p.m_dAngleX = p.m_dAngleY = p.m_dAngleZ = 7.0;
    p.m_dAngleStep = p.m_dPerspective = p.m_dPerspectiveStep = 7.0;
    ResetParams(p);
    EXPECT_EQ(p.m_dShiftX, 0.0);
    EXPECT_EQ(p.m_dShiftY, 0.0);
    EXPECT_EQ(p.m_dShiftStep, 0.01);
    EXPECT_EQ(p.m_dStretchX, 0.5);
    EXPECT_EQ(p.m_dStretchY, 0.5);
    EXPECT_EQ(p.m_dStretchZ, 0.5);
    EXPECT_EQ(p.m_dStretchFactor, 1.1);
    EXPECT_EQ(p.m_dAngleX, 230.0);
    EXPECT_EQ(p.m_dAngleY, 5.0);
    EXPECT_EQ(p.m_dAngleZ, 57.0);
    EXPECT_EQ(p.m_dAngleStep, 1.0);
    EXPECT_EQ(p.m_dPerspective, 0.0);
    EXPECT_EQ(p.m_dPerspectiveStep, 0.1);
}

TEST(ViewParams, EachStepChangesOnlyItsOwnValue) {
    ViewParams p;
    MoveRight(p);
    MoveUp(p);
    MoveUp(p);
    EXPECT_EQ(p.m_dShiftX, 0.01);
    EXPECT_EQ(p.m_dShiftY, 0.02);
    MoveLeft(p);
    MoveDown(p);
    EXPECT_EQ(p.m_dShiftX, 0.0);
    EXPECT_EQ(p.m_dShiftY, 0.01);

    RotateXPlus(p);
    RotateYMinus(p);
    RotateZPlus(p);
    RotateZPlus(p);
    EXPECT_EQ(p.m_dAngleX, 231.0);
    EXPECT_EQ(p.m_dAngleY, 4.0);
    EXPECT_EQ(p.m_dAngleZ, 59.0);
    RotateXMinus(p);
    RotateYPlus(p);
    RotateZMinus(p);
    EXPECT_EQ(p.m_dAngleX, 230.0);
    EXPECT_EQ(p.m_dAngleY, 5.0);
    EXPECT_EQ(p.m_dAngleZ, 58.0);

    PerspectiveMinus(p);
    EXPECT_EQ(p.m_dPerspective, -0.1);  // nothing stops it below 0
    PerspectivePlus(p);
    PerspectivePlus(p);
    EXPECT_EQ(p.m_dPerspective, 0.1);

    ZoomIn(p);
    EXPECT_EQ(p.m_dStretchX, 0.5 * 1.1);
    EXPECT_EQ(p.m_dStretchY, 0.5 * 1.1);
    EXPECT_EQ(p.m_dStretchZ, 0.5 * 1.1);
    ZoomOut(p);
    EXPECT_EQ(p.m_dStretchX, 0.5);  // exactly, not merely close
    EXPECT_EQ(p.m_dStretchY, 0.5);
    EXPECT_EQ(p.m_dStretchZ, 0.5);

    // No command touches the steps.
    const ViewParams defaults;
    EXPECT_EQ(p.m_dShiftStep, defaults.m_dShiftStep);
    EXPECT_EQ(p.m_dStretchFactor, defaults.m_dStretchFactor);
    EXPECT_EQ(p.m_dAngleStep, defaults.m_dAngleStep);
    EXPECT_EQ(p.m_dPerspectiveStep, defaults.m_dPerspectiveStep);
}

TEST(ViewParams, HundredMovesAccumulateInDoublePrecision) {
    ViewParams p;
    Repeat(MoveRight, p, 100);
    EXPECT_EQ(p.m_dShiftX, 1.0000000000000007);
    Repeat(MoveDown, p, 3);
    EXPECT_EQ(p.m_dShiftY, -0.03);
}

TEST(ViewParams, RotationWrapsOneTurnAfterReachingIt) {
    ViewParams p;
    Repeat(RotateXPlus, p, 130);
    EXPECT_EQ(p.m_dAngleX, 360.0);
    RotateXPlus(p);
    EXPECT_EQ(p.m_dAngleX, 1.0);

    Repeat(RotateYMinus, p, 365);
    EXPECT_EQ(p.m_dAngleY, -360.0);
    RotateYMinus(p);
    EXPECT_EQ(p.m_dAngleY, -1.0);

    // One turn per command, however far out the angle stands.
    p.m_dAngleZ = 1000.0;
    RotateZPlus(p);
    EXPECT_EQ(p.m_dAngleZ, 641.0);
    RotateZPlus(p);
    EXPECT_EQ(p.m_dAngleZ, 282.0);
    RotateZPlus(p);
    EXPECT_EQ(p.m_dAngleZ, 283.0);

    // The step down only looks at large negative angles.
    p.m_dAngleZ = 1000.0;
    RotateZMinus(p);
    EXPECT_EQ(p.m_dAngleZ, 999.0);
    EXPECT_EQ(StepAngleDown(-1000.0, 1.0), -641.0);
    EXPECT_EQ(StepAngleUp(-1000.0, 1.0), -999.0);
    EXPECT_EQ(StepAngleUp(359.5, 1.0), 360.5);
    EXPECT_EQ(StepAngleDown(-359.5, 1.0), -360.5);
}

}  // namespace
