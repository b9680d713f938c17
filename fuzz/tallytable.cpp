// The tally table's text form, as the tally file holds it.

#include "fuzz/fuzzsupport.h"
#include "tally/etallyexception.h"
#include "tally/tallytable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const TallyTable table = TallyTable::LoadGridText(FuzzSupport::bytes(data, size));
        // A table that was read is saved so that it reads back the same.
        const QByteArray saved = table.SaveGridText();
        if (TallyTable::LoadGridText(saved).SaveGridText() != saved)
            FuzzSupport::broken("a table that does not survive its text form");
    } catch (const ETallyException &) {
    }
    return 0;
}
