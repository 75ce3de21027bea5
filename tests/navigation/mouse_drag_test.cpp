#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

#include "navigation/mouse_drag.h"
#include "shell/resources/resource_ids.h"

using kavelo::navigation::DragKind;
using kavelo::navigation::MouseDrag;
using kavelo::navigation::StepCommands;

namespace {

// The frame's matrix T·S·Rx·Ry·Rz without T, column-major, after one degree of `step`.
std::array<double, 16> Frame(const ViewParams& p, unsigned step = 0) {
    const unsigned ids[] = {ID_ROTATE_X_PLUS,  ID_ROTATE_X_MINUS, ID_ROTATE_Y_PLUS,
                            ID_ROTATE_Y_MINUS, ID_ROTATE_Z_PLUS,  ID_ROTATE_Z_MINUS};
    double angles[3] = {p.m_dAngleX, p.m_dAngleY, p.m_dAngleZ};
    for (int i = 0; i < 6; ++i) {
        angles[i / 2] += ids[i] == step ? (i % 2 == 0 ? 1 : -1) : 0;
    }
    std::array<double, 16> m{p.m_dStretchX / 2, 0, 0, 0, 0, p.m_dStretchY / 2, 0, 0, 0, 0,
                             p.m_dStretchZ / 2};
    for (int k = 0; k < 3; ++k) {  // times glRotated's matrix about axis k
        const double c = std::cos(angles[k] * M_PI / 180), s = std::sin(angles[k] * M_PI / 180);
        const int i = (k + 1) % 3, j = (k + 2) % 3;
        for (int r = 0; r < 3; ++r) {
            const double mi = m[i * 4 + r], mj = m[j * 4 + r];
            m[i * 4 + r] = c * mi + s * mj;
            m[j * 4 + r] = c * mj - s * mi;
        }
    }
    return m;
}

// Component `out` of the motion on `step` of the scene point seen in eye direction `eye`: the
// inverse of S·R is (S·R)^T·S^-2, so that point is row `eye`, scaled.
double Moves(const ViewParams& p, const StepCommands& step, int eye, int out) {
    const auto before = Frame(p), after = Frame(p, step.id);
    double moved = 0;
    for (int c = 0; c < 3; ++c) {
        moved += (after[c * 4 + out] - before[c * 4 + out]) * before[c * 4 + eye];
    }
    return moved;
}

bool IsZ(const StepCommands& step) {
    return step.id == ID_ROTATE_Z_PLUS || step.id == ID_ROTATE_Z_MINUS;
}

TEST(MouseDrag, TurnsAboutTheScreensAxesAtAnyAngles) {
    std::mt19937 random(19);
    std::uniform_real_distribution<double> angle(-360, 360), stretch(-2, 2);
    for (int trial = 0; trial < 1000; ++trial) {
        SCOPED_TRACE(trial);
        ViewParams p{.m_dAngleX = angle(random), .m_dAngleY = angle(random)};
        p.m_dAngleZ = angle(random);
        if (trial >= 500) {
            p.m_dStretchX = stretch(random), p.m_dStretchY = stretch(random);
            p.m_dStretchZ = stretch(random);
        }
        // Share of component r in the eye's axes: Z's is the third column, Y's the scene
        // direction that Rz takes to y.
        const auto m = Frame(p);
        const double sa = std::sin(p.m_dAngleZ * M_PI / 180),
                     ca = std::cos(p.m_dAngleZ * M_PI / 180);
        const auto zWins = [&](int r) {
            const double y[3] = {sa * m[0] + ca * m[4], sa * m[1] + ca * m[5],
                                 sa * m[2] + ca * m[6]};
            return std::abs(m[8 + r]) / std::hypot(m[8], m[9], m[10]) >
                   std::abs(y[r]) / std::hypot(y[0], y[1], y[2]);
        };
        // Sideways about the upright one, up about X, the near side (eye -z) with the pointer.
        MouseDrag turn(DragKind::kTurn, p, {100, 100}, 200, 200);
        const StepCommands right = turn.MoveTo(p, {101, 100})[0];
        EXPECT_EQ(IsZ(right), zWins(1));
        EXPECT_LT(Moves(p, right, 2, 0), 0);
        const StepCommands up = turn.MoveTo(p, {101, 98})[1];
        EXPECT_TRUE(up.count == 2 && (up.id == ID_ROTATE_X_PLUS || up.id == ID_ROTATE_X_MINUS));
        EXPECT_LT(Moves(p, up, 2, 1), 0);
        // A roll about the axis nearest the line of sight: a quarter turn counter-clockwise
        // takes a point right of the centre up.
        MouseDrag roll(DragKind::kRoll, p, {150, 100}, 200, 200);
        const StepCommands quarter = roll.MoveTo(p, {100, 50})[0];
        EXPECT_EQ(IsZ(quarter), zWins(2));
        EXPECT_EQ(quarter.count, 90);
        EXPECT_GT(Moves(p, quarter, 0, 1), 0);
    }
    // The rotation is chosen at the press: at the defaults Z stands upright; Y would at an X
    // angle of 170, but the drag keeps turning about Z, now the other way up.
    ViewParams p;
    MouseDrag turn(DragKind::kTurn, p, {0, 0}, 200, 200);
    p.m_dAngleX = 170;
    EXPECT_EQ(turn.MoveTo(p, {1, 0})[0].id, ID_ROTATE_Z_PLUS);
}

}  // namespace
