// Colour text as chat messages and the settings file carry it.

#include "fuzz/fuzzsupport.h"
#include "social/colourtext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(FuzzSupport::bytes(data, size));
    if (const auto colour = ColourText::fromText(text)) {
        // Whatever reads as a colour is written so that it reads back the same.
        if (ColourText::fromText(ColourText::toText(*colour)) != colour)
            FuzzSupport::broken("a colour that does not survive its text form");
    }
    return 0;
}
