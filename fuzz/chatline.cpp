// A display line, or a relayed chat payload, cut into the chat's items.

#include "fuzz/fuzzsupport.h"
#include "social/chatline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(FuzzSupport::bytes(data, size));
    if (const auto line = ChatLine::read(text)) {
        for (const ChatItem &item : line->items())
            if (item.kind == ChatItem::Picture
                && (item.picture < 0 || item.picture >= ChatLine::SmileyCount))
                FuzzSupport::broken("a smiley picture outside the set");
    }
    const ChatLine::Received received = ChatLine::received(text);
    ChatLine::read(received.line);
    return 0;
}
