#include "platform/widgets/resource_icon.h"

#include "shell/resources/resources.h"

namespace kavelo::platform::widgets {

using kavelo::resources::IconImage;
using kavelo::resources::MainIcon;

QPixmap MainIconPixmap(int size) {
    for (const IconImage& image : MainIcon()) {
        if (image.size == size) {
            return QPixmap(image.xpm.data());
        }
    }
    return {};
}

QIcon MainIconSet() {
    QIcon icon;
    for (const IconImage& image : MainIcon()) {
        icon.addPixmap(QPixmap(image.xpm.data()));
    }
    return icon;
}

}  // namespace kavelo::platform::widgets
