// The credit banner over the top edge of a picture, the viewer's and kavelo-render's alike.
#pragma once

class QPainter;

namespace kavelo::platform::widgets {

// Draws the banner of the resources (text, colour, band, font) on the painter's device with no
// background, on one line, centred both ways in the band (0, 0, deviceWidth, band height) and
// cut off at both sides of it when the text is wider. `deviceWidth` is in the device's pixels, as
// the viewport is; band and font are the resource's sizes times the device pixel ratio, so that
// they look alike on screens of every density. The painter's state is as before when it returns.
void DrawBanner(QPainter& painter, int deviceWidth);

}  // namespace kavelo::platform::widgets
