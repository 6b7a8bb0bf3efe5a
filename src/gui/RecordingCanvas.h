#pragma once

// A page canvas that draws nothing and keeps every call in order, to check
// the placement of texts, bands and rules.

#include "gui/PageCanvas.h"

#include <vector>

namespace korvan::gui {

class RecordingCanvas : public PageCanvas {
  public:
    struct Text {
        int x = 0;
        int y = 0;
        std::string text;
        bool inverted = false; // white on black
    };
    struct Fill {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        QColor color;
    };
    struct Line {
        int x1 = 0;
        int y1 = 0;
        int x2 = 0;
        int y2 = 0;
    };

    void drawText(int x, int y, const std::string& text) override { texts.push_back({x, y, text, false}); }
    void drawInvertedText(int x, int y, const std::string& text) override { texts.push_back({x, y, text, true}); }
    void fillRect(int left, int top, int right, int bottom, const QColor& color) override
    {
        fills.push_back({left, top, right, bottom, color});
    }
    void drawLine(int x1, int y1, int x2, int y2) override { lines.push_back({x1, y1, x2, y2}); }

    // The first text drawn with exactly these characters; nullptr if none.
    const Text* findText(const std::string& text) const
    {
        for (const Text& drawn : texts)
            if (drawn.text == text)
                return &drawn;
        return nullptr;
    }

    // The texts drawn with their top at `y`, left to right as drawn.
    std::vector<Text> textsAt(int y) const
    {
        std::vector<Text> found;
        for (const Text& drawn : texts)
            if (drawn.y == y)
                found.push_back(drawn);
        return found;
    }

    std::vector<Text> texts;
    std::vector<Fill> fills;
    std::vector<Line> lines;
};

} // namespace korvan::gui
