#include "lobby/qrimage.h"

#include "lobby/qrcode.h"

namespace QrImage {

QImage draw(const QrCode &code, int modulePixels)
{
    if (code.isNull() || modulePixels < 1)
        return QImage();
    const int side = (code.size() + 2 * QrCode::QuietZone) * modulePixels;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < code.size(); ++y)
        for (int x = 0; x < code.size(); ++x) {
            if (!code.dark(x, y))
                continue;
            const int left = (x + QrCode::QuietZone) * modulePixels;
            const int top = (y + QrCode::QuietZone) * modulePixels;
            for (int py = top; py < top + modulePixels; ++py) {
                QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(py));
                for (int px = left; px < left + modulePixels; ++px)
                    line[px] = black;
            }
        }
    return image;
}

} // namespace QrImage
