// The mouse's drags as the step commands the keys issue: which command, how many times.
#pragma once

#include <array>

#include "navigation/view_params.h"

namespace kavelo::navigation {

// A command to issue `count` times; a count of 0 issues nothing.
struct StepCommands {
    unsigned id = 0;
    int count = 0;
};

// A pointer position in the view's pixels, x to the right and y downwards.
struct Pixel {
    int x = 0;
    int y = 0;
};

enum class DragKind {
    kTurn,  // up and down about X; sideways about the Y or Z rotation that stands upright
    kRoll,  // around the view's centre, about the rotation that looks along the line of sight
    kPan,   // whole move steps
};

// The rotations of the frame's matrix T·S·Rx·Ry·Rz, by their plus commands.
enum class Rotation { kX, kY, kZ };

// Which rotation's axis lies nearest the screen's vertical, of Y and Z, at these values.
Rotation UprightRotation(const ViewParams& params);
// Which rotation's axis lies nearest the line of sight, at these values.
Rotation SightRotation(const ViewParams& params);

// One drag, from the press to the release. The rotation it turns about is chosen at the press,
// so that one drag never switches axes; the direction follows the values of each move.
class MouseDrag {
  public:
    // `width` and `height`: the view's size in the pixels of the positions.
    MouseDrag(DragKind kind, const ViewParams& params, Pixel press, int width, int height);

    // The commands that take the view along with the pointer from the previous position to
    // `at`, in the order to issue them.
    std::array<StepCommands, 2> MoveTo(const ViewParams& params, Pixel at);

  private:
    std::array<StepCommands, 2> Turn(const ViewParams& params, Pixel moved) const;
    StepCommands Roll(const ViewParams& params, Pixel at);
    std::array<StepCommands, 2> Pan(const ViewParams& params, Pixel moved);

    DragKind m_kind;
    Rotation m_rotation;  // the sideways turn's or the roll's
    Pixel m_last;
    int m_nWidth;
    int m_nHeight;
    double m_dTurned = 0.0;  // a roll's pointer angle since the press, in degrees
    int m_nRollSteps = 0;    // steps issued for it, counter-clockwise positive
    Pixel m_panned;          // a pan's pointer motion since the press
    int m_nPanStepsX = 0;    // move steps issued since the press, right and up positive
    int m_nPanStepsY = 0;
};

}  // namespace kavelo::navigation
