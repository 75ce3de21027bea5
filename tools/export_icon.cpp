// Writes one image of the program's icon as a PNG file, for installing into an icon theme:
//   export_icon SIZE OUT.png
#include <QImage>

#include <cstdio>
#include <cstdlib>

#include "shell/resources/resources.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: export_icon SIZE OUT.png\n");
        return 2;
    }
    const int size = std::atoi(argv[1]);
    for (const IconImage& image : MainIcon()) {
        if (image.size == size) {
            return QImage(image.xpm.data()).save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
        }
    }
    std::fprintf(stderr, "export_icon: no %d pixel image\n", size);
    return 1;
}
