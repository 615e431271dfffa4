#include "ui/pictures/stored_picture.h"

#include <QList>

namespace kalvoran::ui {

QImage storedPicture(QStringView path)
{
    for (const StoredPicture &stored : storedPictures()) {
        if (path == QLatin1StringView(stored.path)) {
            // Read-only and shared: QImage copies the rows only if written to.
            QImage image(stored.pixels, stored.width, stored.height, stored.bytesPerLine,
                static_cast<QImage::Format>(stored.format));
            if (!stored.colours.empty())
                image.setColorTable(QList<QRgb>(stored.colours.begin(), stored.colours.end()));
            return image;
        }
    }
    return {};
}

} // namespace kalvoran::ui
