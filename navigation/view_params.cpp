#include "navigation/view_params.h"

void ResetParams(ViewParams& params) {
    params = ViewParams{};
}

namespace kavelo::navigation {

namespace {

constexpr double kFullTurn = 360.0;

}  // namespace

void MoveRight(ViewParams& params) {
    params.m_dShiftX = params.m_dShiftX + params.m_dShiftStep;
}
void MoveLeft(ViewParams& params) {
    params.m_dShiftX = params.m_dShiftX - params.m_dShiftStep;
}
void MoveUp(ViewParams& params) {
    params.m_dShiftY = params.m_dShiftY + params.m_dShiftStep;
}
void MoveDown(ViewParams& params) {
    params.m_dShiftY = params.m_dShiftY - params.m_dShiftStep;
}

void ZoomIn(ViewParams& params) {
    params.m_dStretchX = params.m_dStretchX * params.m_dStretchFactor;
    params.m_dStretchY = params.m_dStretchY * params.m_dStretchFactor;
    params.m_dStretchZ = params.m_dStretchZ * params.m_dStretchFactor;
}

void ZoomOut(ViewParams& params) {
    params.m_dStretchX = params.m_dStretchX / params.m_dStretchFactor;
    params.m_dStretchY = params.m_dStretchY / params.m_dStretchFactor;
    params.m_dStretchZ = params.m_dStretchZ / params.m_dStretchFactor;
}

// The wrap looks at the angle before the step, so 360 and -360 themselves are reached and
// shown; only one turn comes off per command, whatever the angle.
double StepAngleUp(double angle, double step) {
    if (angle >= kFullTurn) {
        angle = angle - kFullTurn;
    }
    return angle + step;
}

double StepAngleDown(double angle, double step) {
    if (angle <= -kFullTurn) {
        angle = angle + kFullTurn;
    }
    return angle - step;
}

void RotateXPlus(ViewParams& params) {
    params.m_dAngleX = StepAngleUp(params.m_dAngleX, params.m_dAngleStep);
}
void RotateXMinus(ViewParams& params) {
    params.m_dAngleX = StepAngleDown(params.m_dAngleX, params.m_dAngleStep);
}
void RotateYPlus(ViewParams& params) {
    params.m_dAngleY = StepAngleUp(params.m_dAngleY, params.m_dAngleStep);
}
void RotateYMinus(ViewParams& params) {
    params.m_dAngleY = StepAngleDown(params.m_dAngleY, params.m_dAngleStep);
}
void RotateZPlus(ViewParams& params) {
    params.m_dAngleZ = StepAngleUp(params.m_dAngleZ, params.m_dAngleStep);
}
void RotateZMinus(ViewParams& params) {
    params.m_dAngleZ = StepAngleDown(params.m_dAngleZ, params.m_dAngleStep);
}

void PerspectivePlus(ViewParams& params) {
    params.m_dPerspective = params.m_dPerspective + params.m_dPerspectiveStep;
}
void PerspectiveMinus(ViewParams& params) {
    params.m_dPerspective = params.m_dPerspective - params.m_dPerspectiveStep;
}

}  // namespace kavelo::navigation
