#pragma once

#include <QImage>

class QrCode;

// A QR code as a picture a phone's camera reads from the screen: black
// square modules of modulePixels on white, with the code's quiet zone.
namespace QrImage {

QImage draw(const QrCode &code, int modulePixels);

} // namespace QrImage
