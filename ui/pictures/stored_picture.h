#pragma once

#include <QImage>
#include <QStringView>

#include <cstdint>
#include <span>

namespace kalvoran::ui {

// One picture as Qt decoded it when the program was built: its resource path,
// size in pixels, QImage::Format, bytes per row, the rows, and the colour
// table (0xAARRGGBB) of a picture stored as indices into one.
struct StoredPicture
{
    const char *path;
    int width;
    int height;
    int format;
    int bytesPerLine;
    const unsigned char *pixels;
    std::span<const std::uint32_t> colours;
};

// Every stored picture; defined in the source that embed_pictures writes.
[[nodiscard]] std::span<const StoredPicture> storedPictures();

// A picture stored with the program, by its resource path (as in
// ":/pictures/banner.gif"): the pixels Qt decoded from that file when the
// program was built, shown in place without a copy or an image plugin. A null
// image for a path that is not stored.
[[nodiscard]] QImage storedPicture(QStringView path);

} // namespace kalvoran::ui
