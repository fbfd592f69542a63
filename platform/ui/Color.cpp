#include "ui/Color.h"

#include <QGuiApplication>
#include <QPalette>

namespace {
struct TSystemColor {
    int index;  // the Windows system colour number
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Button faces are the window background here: Qt draws controls on the window colour.
constexpr TSystemColor kSystemColors[] = {
    {4, QPalette::Active, QPalette::Window},            // menu
    {5, QPalette::Active, QPalette::Base},              // window
    {6, QPalette::Active, QPalette::Shadow},            // window frame
    {7, QPalette::Active, QPalette::WindowText},        // menu text
    {8, QPalette::Active, QPalette::Text},              // window text
    {13, QPalette::Active, QPalette::Highlight},        // highlight
    {14, QPalette::Active, QPalette::HighlightedText},  // highlight text
    {15, QPalette::Active, QPalette::Window},           // button face
    {16, QPalette::Active, QPalette::Dark},             // button shadow
    {17, QPalette::Disabled, QPalette::Text},           // grey text
    {18, QPalette::Active, QPalette::ButtonText},       // button text
    {20, QPalette::Active, QPalette::Light},            // button highlight
    {21, QPalette::Active, QPalette::Shadow},           // dark 3D shadow
    {22, QPalette::Active, QPalette::Midlight},         // 3D light
    {23, QPalette::Active, QPalette::ToolTipText},      // tooltip text
    {24, QPalette::Active, QPalette::ToolTipBase},      // tooltip background
    {26, QPalette::Active, QPalette::Link},             // hot-tracked item
};
}  // namespace

QColor ColorToRGB(TColor color) {
    if (color >= 0)
        return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const int index = color & 0xFF;
    for (const TSystemColor& system : kSystemColors) {
        if (system.index == index)
            return QGuiApplication::palette().color(system.group, system.role);
    }
    return Qt::black;
}
