#include "social/systemcolours.h"

#include "social/colourtext.h"

namespace SystemColours {

namespace {

struct Role
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette role standing in for each of the 25 system colours, in order.
const Role systemRoles[] = {
    {QPalette::Active, QPalette::Button},          // clScrollBar
    {QPalette::Active, QPalette::Dark},            // clBackground
    {QPalette::Active, QPalette::Highlight},       // clActiveCaption
    {QPalette::Inactive, QPalette::Mid},           // clInactiveCaption
    {QPalette::Active, QPalette::Window},          // clMenu
    {QPalette::Active, QPalette::Base},            // clWindow
    {QPalette::Active, QPalette::Shadow},          // clWindowFrame
    {QPalette::Active, QPalette::WindowText},      // clMenuText
    {QPalette::Active, QPalette::Text},            // clWindowText
    {QPalette::Active, QPalette::HighlightedText}, // clCaptionText
    {QPalette::Active, QPalette::Window},          // clActiveBorder
    {QPalette::Inactive, QPalette::Window},        // clInactiveBorder
    {QPalette::Active, QPalette::Dark},            // clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},       // clHighlight
    {QPalette::Active, QPalette::HighlightedText}, // clHighlightText
    {QPalette::Active, QPalette::Button},          // clBtnFace
    {QPalette::Active, QPalette::Mid},             // clBtnShadow
    {QPalette::Disabled, QPalette::Text},          // clGrayText
    {QPalette::Active, QPalette::ButtonText},      // clBtnText
    {QPalette::Inactive, QPalette::WindowText},    // clInactiveCaptionText
    {QPalette::Active, QPalette::Light},           // clBtnHighlight
    {QPalette::Active, QPalette::Shadow},          // cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},        // cl3DLight
    {QPalette::Active, QPalette::ToolTipText},     // clInfoText
    {QPalette::Active, QPalette::ToolTipBase},     // clInfoBk
};

} // namespace

QColor toColor(quint32 value, const QPalette &palette)
{
    const quint32 position = value - ColourText::SystemColour;
    if (value >= ColourText::SystemColour && position < std::size(systemRoles)) {
        const Role &r = systemRoles[position];
        return palette.color(r.group, r.role);
    }
    // Everything else paints as its red, green and blue bytes.
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

} // namespace SystemColours
