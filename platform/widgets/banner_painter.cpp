#include "platform/widgets/banner_painter.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>

namespace kavelo::platform::widgets {

void DrawBanner(QPainter& painter, int clientWidth, const TextBand& band) {
    const int width = std::max(clientWidth, 0);
    const QRect rect(0, 0, width, band.height);
    const QString text = QString::fromLatin1(band.text);

    // Centred in a rectangle wide enough for the whole text and centred on the band, so that a
    // narrow band cuts the text at both sides instead of pushing it to the right.
    const int textWidth = painter.fontMetrics().horizontalAdvance(text);
    const int margin = std::max(0, textWidth - width) / 2 + 1;
    const QRect textRect = rect.adjusted(-margin, 0, margin, 0);

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(band.colour);
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.restore();
}

}  // namespace kavelo::platform::widgets
