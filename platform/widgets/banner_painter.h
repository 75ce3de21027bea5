// The credit text over the top edge of the picture.
#pragma once

class QPainter;

// Draws the banner text in the banner colour with no background, on one line, centred both ways
// in the band (0, 0, clientWidth, 50) of client pixels and cut off at both sides of the band
// when the text is wider. The painter's state is as before when it returns.
void DrawBanner(QPainter& painter, int clientWidth);
