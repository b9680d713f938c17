#include "lobby/qrcode.h"

#include <qrencode.h>

QrCode QrCode::encode(const QByteArray &text)
{
    QrCode code;
    if (text.isEmpty() || text.contains('\0'))
        return code;
    QRcode *made = QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!made)
        return code;
    code.m_size = made->width;
    code.m_version = made->version;
    code.m_modules.reserve(made->width * made->width);
    // The lowest bit of each byte is the module's colour; the others say
    // what the module is part of.
    for (int i = 0; i < made->width * made->width; ++i)
        code.m_modules.append(made->data[i] & 1);
    QRcode_free(made);
    return code;
}

bool QrCode::dark(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_size || y >= m_size)
        return false;
    return m_modules[y * m_size + x];
}
