#include "platform/widgets/banner_painter.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>

#include "shell/resources/resources.h"

namespace kavelo::platform::widgets {

using kavelo::resources::Banner;
using kavelo::resources::BannerResource;

void DrawBanner(QPainter& painter, int deviceWidth) {
    const BannerResource& banner = Banner();
    const int width = std::max(deviceWidth, 0);
    // The band and the text are as high on a high-density screen as on a plain one: in device
    // pixels, the resource's sizes times the ratio.
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QRect rect(0, 0, width, qRound(banner.bandHeight * ratio));
    const QString text = QString::fromLatin1(banner.text);
    QFont font(QString::fromLatin1(banner.fontFamily));
    font.setPixelSize(qRound(banner.fontPixels * ratio));

    painter.save();
    // One unit of the painter is one pixel of the device from here on.
    painter.scale(1.0 / ratio, 1.0 / ratio);
    painter.setFont(font);
    // Centred in a rectangle wide enough for the whole text and centred on the band, so that a
    // narrow band cuts the text at both sides instead of pushing it to the right.
    const int textWidth = painter.fontMetrics().horizontalAdvance(text);
    const int margin = std::max(0, textWidth - width) / 2 + 1;
    const QRect textRect = rect.adjusted(-margin, 0, margin, 0);
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(QColor(banner.red, banner.green, banner.blue));
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.restore();
}

}  // namespace kavelo::platform::widgets
