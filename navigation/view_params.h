// Where and how the scene is drawn, and the steps by which the keys change it.
#pragma once

struct ViewParams {
    double m_dShiftX = 0.0;
    double m_dShiftY = 0.0;
    double m_dShiftStep = 0.01;
    double m_dStretchX = 0.5;
    double m_dStretchY = 0.5;
    double m_dStretchZ = 0.5;
    double m_dStretchFactor = 1.1;
    double m_dAngleX = 230.0;  // degrees
    double m_dAngleY = 5.0;
    double m_dAngleZ = 57.0;
    double m_dAngleStep = 1.0;
    double m_dPerspective = 0.0;
    double m_dPerspectiveStep = 0.1;
};

// Puts all thirteen values back to their defaults.
void ResetParams(ViewParams& params);

namespace kavelo::navigation {

// The step commands. Each stores its result as a double at once.
void MoveRight(ViewParams& params);
void MoveLeft(ViewParams& params);
void MoveUp(ViewParams& params);
void MoveDown(ViewParams& params);
void ZoomIn(ViewParams& params);   // X, Y, Z each multiplied by the factor, in that order
void ZoomOut(ViewParams& params);  // X, Y, Z each divided by the factor, in that order
void RotateXPlus(ViewParams& params);
void RotateXMinus(ViewParams& params);
void RotateYPlus(ViewParams& params);
void RotateYMinus(ViewParams& params);
void RotateZPlus(ViewParams& params);
void RotateZMinus(ViewParams& params);
void PerspectivePlus(ViewParams& params);
void PerspectiveMinus(ViewParams& params);

// An angle stepped up: one full turn off first when it stands at 360 or more.
double StepAngleUp(double angle, double step);
// An angle stepped down: one full turn on first when it stands at -360 or less.
double StepAngleDown(double angle, double step);

}  // namespace kavelo::navigation
