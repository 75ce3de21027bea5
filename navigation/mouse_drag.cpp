#include "navigation/mouse_drag.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "shell/resources/resource_ids.h"

namespace kavelo::navigation {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

struct Vector {
    double x, y, z;
};

// The axis a rotation turns about, in the frame between the stretch and the rotations: X is
// outermost, Y is turned by X, Z by X and Y (glRotated's sense).
Vector RotationAxis(const ViewParams& p, Rotation rotation) {
    const double sa = std::sin(p.m_dAngleX * kDegree);
    const double ca = std::cos(p.m_dAngleX * kDegree);
    const double sb = std::sin(p.m_dAngleY * kDegree);
    const double cb = std::cos(p.m_dAngleY * kDegree);
    switch (rotation) {
        case Rotation::kX:
            return {1.0, 0.0, 0.0};
        case Rotation::kY:
            return {0.0, ca, sa};
        case Rotation::kZ:
            break;
    }
    return {sb, -sa * cb, ca * cb};
}

// The same axis as the eye sees it, stretched; the common factor of a half does not matter.
Vector EyeAxis(const ViewParams& p, Rotation rotation) {
    const Vector a = RotationAxis(p, rotation);
    return {a.x * p.m_dStretchX, a.y * p.m_dStretchY, a.z * p.m_dStretchZ};
}

double Share(double component, const Vector& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length > 0.0 ? std::abs(component) / length : 0.0;
}

// The picture looks along +z: the depth test keeps the smallest z, so the near side of the
// scene is the one at -z, which the stretch's sign may mirror.
double NearSide(const ViewParams& p) {
    return p.m_dStretchZ < 0.0 ? 1.0 : -1.0;
}

StepCommands Steps(Rotation rotation, bool plus, int count) {
    static constexpr unsigned kPlus[] = {ID_ROTATE_X_PLUS, ID_ROTATE_Y_PLUS, ID_ROTATE_Z_PLUS};
    static constexpr unsigned kMinus[] = {ID_ROTATE_X_MINUS, ID_ROTATE_Y_MINUS, ID_ROTATE_Z_MINUS};
    const auto index = static_cast<int>(rotation);
    return {plus ? kPlus[index] : kMinus[index], count};
}

// Whole steps of `size` covered by `amount`, towards zero; a hair of slack keeps an amount of
// exactly n steps from falling short by a rounding of the quotient.
int WholeSteps(double amount, double size) {
    const int whole = static_cast<int>(std::floor(std::abs(amount) / size + 1e-9));
    return amount < 0 ? -whole : whole;
}

}  // namespace

Rotation UprightRotation(const ViewParams& params) {
    const Vector y = EyeAxis(params, Rotation::kY);
    const Vector z = EyeAxis(params, Rotation::kZ);
    return Share(z.y, z) > Share(y.y, y) ? Rotation::kZ : Rotation::kY;
}

Rotation SightRotation(const ViewParams& params) {
    Rotation best = Rotation::kX;
    double bestShare = -1.0;
    for (Rotation r : {Rotation::kX, Rotation::kY, Rotation::kZ}) {
        const Vector axis = EyeAxis(params, r);
        if (Share(axis.z, axis) > bestShare) {
            bestShare = Share(axis.z, axis);
            best = r;
        }
    }
    return best;
}

MouseDrag::MouseDrag(DragKind kind, const ViewParams& params, Pixel press, int width, int height)
    : m_kind(kind),
      m_rotation(kind == DragKind::kRoll ? SightRotation(params) : UprightRotation(params)),
      m_last(press),
      m_nWidth(std::max(width, 1)),
      m_nHeight(std::max(height, 1)) {}

std::array<StepCommands, 2> MouseDrag::MoveTo(const ViewParams& params, Pixel at) {
    const Pixel moved{at.x - m_last.x, at.y - m_last.y};
    std::array<StepCommands, 2> commands{};
    switch (m_kind) {
        case DragKind::kTurn:
            commands = Turn(params, moved);
            break;
        case DragKind::kRoll:
            commands[0] = Roll(params, at);
            break;
        case DragKind::kPan:
            commands = Pan(params, moved);
            break;
    }
    m_last = at;
    return commands;
}

// One step a pixel, in the direction that carries the near side of the scene with the pointer.
// A plus step about axis a moves the near point (0, 0, n) by a × (0, 0, n): sideways by
// n·a.y, up by -n·a.x, each mirrored by its stretch's sign.
std::array<StepCommands, 2> MouseDrag::Turn(const ViewParams& params, Pixel moved) const {
    const double n = NearSide(params);
    const bool rightIsPlus = n * RotationAxis(params, m_rotation).y * params.m_dStretchX > 0;
    const bool upIsPlus = -n * params.m_dStretchY > 0;
    return {Steps(m_rotation, (moved.x > 0) == rightIsPlus, std::abs(moved.x)),
            Steps(Rotation::kX, (moved.y < 0) == upIsPlus, std::abs(moved.y))};
}

// The scene turns by the angle the pointer has gone round the view's centre. A plus step turns
// the picture counter-clockwise when the axis points away from the viewer's side of the
// screen, as the two stretches in the picture's plane keep or mirror it.
StepCommands MouseDrag::Roll(const ViewParams& params, Pixel at) {
    // The centre pixel, so that a pointer on whole pixels can go exactly round it.
    const double cx = m_nWidth / 2;
    const double cy = m_nHeight / 2;
    // Upwards positive, so that counter-clockwise is positive on the screen.
    const double x0 = m_last.x - cx, y0 = cy - m_last.y;
    const double x1 = at.x - cx, y1 = cy - at.y;
    m_dTurned += std::atan2(x0 * y1 - y0 * x1, x0 * x1 + y0 * y1) / kDegree;
    const int steps = WholeSteps(m_dTurned, params.m_dAngleStep);
    const int count = steps - m_nRollSteps;
    m_nRollSteps = steps;
    const bool plusIsCounterClockwise =
        RotationAxis(params, m_rotation).z * params.m_dStretchX * params.m_dStretchY > 0;
    return Steps(m_rotation, (count > 0) == plusIsCounterClockwise, std::abs(count));
}

// Whole move steps, as many as the pointer's motion since the press covers at perspective 0,
// where a shift of 1 moves the scene by half the view's width or height.
std::array<StepCommands, 2> MouseDrag::Pan(const ViewParams& params, Pixel moved) {
    m_panned.x += moved.x;
    m_panned.y += moved.y;
    const int x = WholeSteps(2.0 * m_panned.x, m_nWidth * params.m_dShiftStep);
    const int y = WholeSteps(-2.0 * m_panned.y, m_nHeight * params.m_dShiftStep);
    const std::array<StepCommands, 2> commands{
        StepCommands{x > m_nPanStepsX ? ID_MOVE_RIGHT : ID_MOVE_LEFT, std::abs(x - m_nPanStepsX)},
        StepCommands{y > m_nPanStepsY ? ID_MOVE_UP : ID_MOVE_DOWN, std::abs(y - m_nPanStepsY)}};
    m_nPanStepsX = x;
    m_nPanStepsY = y;
    return commands;
}

}  // namespace kavelo::navigation
