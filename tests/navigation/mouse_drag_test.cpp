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

using Matrix = std::array<double, 16>;  // column-major, as OpenGL keeps it

// Which angle a command steps, 0 to 2 for X to Z, and by how much.
std::pair<int, double> Step(unsigned id) {
    const unsigned ids[] = {ID_ROTATE_X_PLUS,  ID_ROTATE_X_MINUS, ID_ROTATE_Y_PLUS,
                            ID_ROTATE_Y_MINUS, ID_ROTATE_Z_PLUS,  ID_ROTATE_Z_MINUS};
    for (int i = 0; i < 6; ++i) {
        if (ids[i] == id) {
            return {i / 2, i % 2 == 0 ? 1 : -1};
        }
    }
    return {-1, 0};
}

// The frame's model-view matrix T·S·Rx·Ry·Rz without T, which no turn changes, built with
// glRotated's matrices, after the command `id`.
Matrix Frame(const ViewParams& p, unsigned id = 0) {
    double angles[3] = {p.m_dAngleX, p.m_dAngleY, p.m_dAngleZ};
    if (const auto [k, by] = Step(id); k >= 0) {
        angles[k] += by;
    }
    Matrix m{p.m_dStretchX / 2, 0, 0, 0, 0, p.m_dStretchY / 2, 0, 0, 0, 0, p.m_dStretchZ / 2};
    for (int k = 0; k < 3; ++k) {
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

// Component `out` of the motion, on `step`, of the scene point seen in eye direction `eye`:
// the inverse of S·R is (S·R)^T·S^-2, so that point is row `eye`, scaled.
double Moves(const ViewParams& p, const StepCommands& step, int eye, int out) {
    const Matrix before = Frame(p), after = Frame(p, step.id);
    double moved = 0;
    for (int c = 0; c < 3; ++c) {
        moved += (after[c * 4 + out] - before[c * 4 + out]) * before[c * 4 + eye];
    }
    return moved;
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
        // The eye's axes: Z's is the matrix's third column; Y's the scene direction Rz takes to y.
        const Matrix m = Frame(p);
        const double sa = std::sin(p.m_dAngleZ * M_PI / 180),
                     ca = std::cos(p.m_dAngleZ * M_PI / 180);
        const auto share = [&](int r, bool z) {
            const double y[3] = {sa * m[0] + ca * m[4], sa * m[1] + ca * m[5],
                                 sa * m[2] + ca * m[6]};
            const double* a = z ? &m[8] : y;
            return std::abs(a[r]) / std::hypot(a[0], a[1], a[2]);
        };
        // Sideways about the upright one, the near side (towards eye -z) going with the pointer;
        // up about X.
        MouseDrag turn(DragKind::kTurn, p, {100, 100}, 200, 200);
        const StepCommands right = turn.MoveTo(p, {101, 100})[0];
        EXPECT_EQ(Step(right.id).first == 2, share(1, true) > share(1, false));
        EXPECT_EQ(right.count, 1);
        EXPECT_LT(Moves(p, right, 2, 0), 0);
        const StepCommands up = turn.MoveTo(p, {101, 98})[1];
        EXPECT_EQ(Step(up.id).first, 0);
        EXPECT_EQ(up.count, 2);
        EXPECT_LT(Moves(p, up, 2, 1), 0);
        // A roll about the axis nearest the line of sight: a quarter turn counter-clockwise
        // takes a point right of the centre up.
        MouseDrag roll(DragKind::kRoll, p, {150, 100}, 200, 200);
        const StepCommands quarter = roll.MoveTo(p, {100, 50})[0];
        EXPECT_EQ(Step(quarter.id).first == 2, share(2, true) > share(2, false));
        EXPECT_EQ(quarter.count, 90);
        EXPECT_GT(Moves(p, {quarter.id, 1}, 0, 1), 0);
    }
    // The rotation is chosen at the press: at the defaults Z stands upright; Y would at an X
    // angle of 170, but the drag keeps turning about Z, now the other way up.
    ViewParams p;
    MouseDrag turn(DragKind::kTurn, p, {0, 0}, 200, 200);
    p.m_dAngleX = 170;
    EXPECT_EQ(turn.MoveTo(p, {1, 0})[0].id, ID_ROTATE_Z_PLUS);
}

}  // namespace
