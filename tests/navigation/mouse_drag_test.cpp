#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <random>

#include "navigation/mouse_drag.h"
#include "shell/resources/resource_ids.h"

using kavelo::navigation::DragKind;
using kavelo::navigation::MouseDrag;
using kavelo::navigation::StepCommands;

namespace {

using Matrix = std::array<double, 16>;  // column-major, as OpenGL keeps it
using Point = std::array<double, 4>;

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 4; ++k) {
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
            }
        }
    }
    return m;
}

Point Apply(const Matrix& m, const Point& p) {
    Point q{};
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 4; ++k) {
            q[r] += m[k * 4 + r] * p[k];
        }
    }
    return q;
}

// glRotated's matrix for a turn about a unit axis.
Matrix Rotated(double degrees, double x, double y, double z) {
    const double c = std::cos(degrees * M_PI / 180.0), s = std::sin(degrees * M_PI / 180.0);
    return {x * x * (1 - c) + c,
            y * x * (1 - c) + z * s,
            x * z * (1 - c) - y * s,
            0,
            x * y * (1 - c) - z * s,
            y * y * (1 - c) + c,
            y * z * (1 - c) + x * s,
            0,
            x * z * (1 - c) + y * s,
            y * z * (1 - c) - x * s,
            z * z * (1 - c) + c,
            0,
            0,
            0,
            0,
            1};
}

// The frame's model-view matrix, T·S·Rx·Ry·Rz.
Matrix Frame(const ViewParams& p) {
    Matrix m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, p.m_dShiftX, p.m_dShiftY, 0, 1};
    m = Multiply(m, {p.m_dStretchX * 0.5, 0, 0, 0, 0, p.m_dStretchY * 0.5, 0, 0, 0, 0,
                     p.m_dStretchZ * 0.5, 0, 0, 0, 0, 1});
    m = Multiply(m, Rotated(p.m_dAngleX, 1, 0, 0));
    m = Multiply(m, Rotated(p.m_dAngleY, 0, 1, 0));
    return Multiply(m, Rotated(p.m_dAngleZ, 0, 0, 1));
}

// The eye-space point that `eye` becomes once the scene has taken the commands.
Point Moved(ViewParams p, const StepCommands& step, const Point& eye) {
    static const std::map<unsigned, double ViewParams::*> kAngle = {
        {ID_ROTATE_X_PLUS, &ViewParams::m_dAngleX}, {ID_ROTATE_X_MINUS, &ViewParams::m_dAngleX},
        {ID_ROTATE_Y_PLUS, &ViewParams::m_dAngleY}, {ID_ROTATE_Y_MINUS, &ViewParams::m_dAngleY},
        {ID_ROTATE_Z_PLUS, &ViewParams::m_dAngleZ}, {ID_ROTATE_Z_MINUS, &ViewParams::m_dAngleZ}};
    const bool plus =
        step.id == ID_ROTATE_X_PLUS || step.id == ID_ROTATE_Y_PLUS || step.id == ID_ROTATE_Z_PLUS;
    // Back into scene coordinates with the inverse of the old frame, turned by the exact angle.
    const Matrix before = Frame(p);
    p.*kAngle.at(step.id) += plus ? step.count : -step.count;
    const Matrix after = Frame(p);
    // The frame is T·L; solve L·o = eye - t by Cramer's rule.
    const double* L = before.data();
    const double b[3] = {eye[0] - L[12], eye[1] - L[13], eye[2] - L[14]};
    const auto det = [&](const double* c0, const double* c1, const double* c2) {
        return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
               c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    const double d = det(L, L + 4, L + 8);
    const Point o = {det(b, L + 4, L + 8) / d, det(L, b, L + 8) / d, det(L, L + 4, b) / d, 1};
    return Apply(after, o);
}

// Its direction in the eye's space: what one degree about it leaves in place.
std::array<double, 3> EyeAxis(const ViewParams& p, unsigned plusId) {
    const Point centre = Apply(Frame(p), {0, 0, 0, 1});
    std::array<Point, 3> rows;
    for (int i = 0; i < 3; ++i) {
        Point e = centre;
        e[i] += 1;
        rows[i] = Moved(p, {plusId, 1}, e);
        rows[i][i] -= 1;
        for (int k = 0; k < 3; ++k)
            rows[i][k] -= centre[k];
    }
    // The columns of (E - I) are rows[i]; the axis is orthogonal to the rows of E - I.
    std::array<double, 3> best{};
    double bestNorm = -1;
    for (auto [i, j] : {std::pair{0, 1}, {0, 2}, {1, 2}}) {
        const double r[2][3] = {{rows[0][i], rows[1][i], rows[2][i]},
                                {rows[0][j], rows[1][j], rows[2][j]}};
        const std::array<double, 3> v = {r[0][1] * r[1][2] - r[0][2] * r[1][1],
                                         r[0][2] * r[1][0] - r[0][0] * r[1][2],
                                         r[0][0] * r[1][1] - r[0][1] * r[1][0]};
        const double n = std::hypot(v[0], v[1], v[2]);
        if (n > bestNorm) {
            bestNorm = n;
            best = {v[0] / n, v[1] / n, v[2] / n};
        }
    }
    return best;
}

unsigned Family(unsigned id) {
    return id == ID_ROTATE_X_MINUS   ? ID_ROTATE_X_PLUS
           : id == ID_ROTATE_Y_MINUS ? ID_ROTATE_Y_PLUS
           : id == ID_ROTATE_Z_MINUS ? ID_ROTATE_Z_PLUS
                                     : id;
}

TEST(MouseDrag, TurnsAboutTheScreensAxesAtAnyAngles) {
    std::mt19937 random(19);
    std::uniform_real_distribution<double> angle(-360.0, 360.0), stretch(0.2, 2.0);
    std::bernoulli_distribution flip(0.25);
    const unsigned kPlus[] = {ID_ROTATE_X_PLUS, ID_ROTATE_Y_PLUS, ID_ROTATE_Z_PLUS};
    for (int trial = 0; trial < 1000; ++trial) {
        ViewParams p;
        p.m_dAngleX = angle(random), p.m_dAngleY = angle(random), p.m_dAngleZ = angle(random);
        for (double* s : {&p.m_dStretchX, &p.m_dStretchY, &p.m_dStretchZ}) {
            *s = trial < 500 ? 0.5 : (flip(random) ? -1 : 1) * stretch(random);
        }
        SCOPED_TRACE(::testing::Message() << "trial " << trial);
        std::array<std::array<double, 3>, 3> axes;
        for (int r = 0; r < 3; ++r)
            axes[r] = EyeAxis(p, kPlus[r]);

        // Sideways: the upright one of Y and Z, carrying the near side along with the pointer.
        const Point centre = Apply(Frame(p), {0, 0, 0, 1});
        const Point nearSide = {centre[0], centre[1], centre[2] - 1, 1};
        MouseDrag turn(DragKind::kTurn, p, {100, 100}, 200, 200);
        const auto right = turn.MoveTo(p, {101, 100});
        const int upright = std::abs(axes[1][1]) >= std::abs(axes[2][1]) ? 1 : 2;
        if (std::abs(std::abs(axes[1][1]) - std::abs(axes[2][1])) > 1e-9) {
            EXPECT_EQ(Family(right[0].id), kPlus[upright]);
        }
        EXPECT_EQ(right[0].count, 1);
        EXPECT_EQ(right[1].count, 0);
        EXPECT_GT(Moved(p, right[0], nearSide)[0], nearSide[0]);
        const auto up = turn.MoveTo(p, {101, 98});
        EXPECT_EQ(up[0].count, 0);
        EXPECT_EQ(Family(up[1].id), ID_ROTATE_X_PLUS);
        EXPECT_EQ(up[1].count, 2);
        EXPECT_GT(Moved(p, up[1], nearSide)[1], nearSide[1]);

        // Roll: the axis nearest the line of sight, a quarter turn counter-clockwise with the
        // pointer, so that a point right of the centre goes up.
        const int sight = std::abs(axes[1][2]) >= std::abs(axes[2][2]) ? 1 : 2;
        MouseDrag roll(DragKind::kRoll, p, {150, 100}, 200, 200);
        const StepCommands quarter = roll.MoveTo(p, {100, 50})[0];
        if (std::abs(std::abs(axes[1][2]) - std::abs(axes[2][2])) > 1e-9) {
            EXPECT_EQ(Family(quarter.id), kPlus[sight]);
        }
        EXPECT_EQ(quarter.count, 90);
        const Point rightOfCentre = {centre[0] + 1, centre[1], centre[2], 1};
        EXPECT_GT(Moved(p, {quarter.id, 1}, rightOfCentre)[1], rightOfCentre[1]);
    }

    // The rotation is chosen at the press: at the defaults Z stands upright; Y would at an X
    // angle of 180, but the drag keeps turning about Z.
    ViewParams p;
    MouseDrag turn(DragKind::kTurn, p, {0, 0}, 200, 200);
    p.m_dAngleX = 180.0;
    EXPECT_EQ(Family(turn.MoveTo(p, {1, 0})[0].id), ID_ROTATE_Z_PLUS);
}

}  // namespace
