#pragma once

#include <QByteArray>
#include <QList>

// A QR code of a short text, such as the address of the browser page a
// friend's phone opens: a square of modules, dark or light, made by
// libqrencode at error correction level M. Drawn, it needs a light quiet
// zone of QuietZone modules all round to be read.
class QrCode
{
public:
    static constexpr int QuietZone = 4;

    // The code of the text; a null code when it cannot be made (too long).
    static QrCode encode(const QByteArray &text);

    bool isNull() const { return m_size == 0; }
    // Modules along a side.
    int size() const { return m_size; }
    // Column x, row y, from the top left; outside the square is light.
    bool dark(int x, int y) const;
    int version() const { return m_version; }

private:
    int m_size = 0;
    int m_version = 0;
    QList<bool> m_modules;   // row after row
};
