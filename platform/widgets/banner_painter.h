// A line of text over the top edge of a picture: the credit text.
#pragma once

#include <QColor>

class QPainter;

namespace kavelo::platform::widgets {

struct TextBand {
    const char* text;  // Latin-1
    QColor colour;
    int height;  // client pixels from the top
};

// Draws the band's text in its colour with no background, on one line, centred both ways in the
// rectangle (0, 0, clientWidth, band.height) of client pixels and cut off at both sides of it
// when the text is wider. The painter's state is as before when it returns.
void DrawBanner(QPainter& painter, int clientWidth, const TextBand& band);

}  // namespace kavelo::platform::widgets
