#pragma once
// JPEG pictures decoded through libjpeg (the shop's logos, product pictures and
// wallpapers), handed to Qt as images.

#include <QImage>
#include <string>

// The decoded picture, or a null image when the file is missing or not a JPEG.
QImage leeJpeg(const std::string& rutaLocal);
// Any picture file: JPEG through leeJpeg, the other formats (BMP, PNG) through Qt.
QImage leeImagen(const std::string& rutaLocal);
