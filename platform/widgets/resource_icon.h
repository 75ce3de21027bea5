// The program's icon resource as Qt images.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kavelo::platform::widgets {

QPixmap MainIconPixmap(int size);  // the 32 or the 16 pixel image
QIcon MainIconSet();               // both images

}  // namespace kavelo::platform::widgets
