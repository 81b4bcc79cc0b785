// Decoding the front-panel JPEG with libjpeg.
#pragma once
#include <QByteArray>
#include <QImage>

// A null image if the data is not a decodable JPEG.
QImage decodeJpeg(const QByteArray& data);
