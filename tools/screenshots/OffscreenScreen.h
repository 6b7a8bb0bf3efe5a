#pragma once

// The screen of Qt's offscreen platform for the pictures and the layout
// tests: 1280 x 800 pixels at 96 dots per inch, or at the font resolution
// QT_FONT_DPI names (a desktop with larger fonts; run it with
// QT_ENABLE_HIGHDPI_SCALING=0, as such a desktop runs Qt). Set before the
// application starts; nothing when another platform is chosen.

class QString;

namespace korvan::screenshots {

// Writes the screen's description into `folder`, which must outlive the
// application. False when it cannot be written.
bool chooseOffscreenScreen(const QString& folder);

} // namespace korvan::screenshots
