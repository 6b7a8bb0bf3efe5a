#include "ui/runs/ViewLayout.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace korvan::ui::runs {

namespace {

// The height of a line of the 8-point dialog font the places are given in.
constexpr double kDialogFontHeight = 13.0;

// The rows of buttons: the indices of the first button of each row, and
// the gaps the row is placed with.
struct ButtonRows {
    std::vector<std::size_t> starts;
    std::vector<int> gaps;
};

int rowWidth(const std::vector<QSize>& sizes, const std::vector<int>& gaps, std::size_t from, std::size_t to)
{
    int width = 0;
    for (std::size_t i = from; i < to; ++i)
        width += sizes[i].width() + (i > from ? gaps[i] : 0);
    return width;
}

ButtonRows splitIntoRows(const std::vector<QSize>& sizes, std::vector<int> gaps, int room, int narrowGap)
{
    ButtonRows rows;
    if (sizes.empty())
        return rows;
    if (rowWidth(sizes, gaps, 0, sizes.size()) > room)
        std::fill(gaps.begin(), gaps.end(), narrowGap);
    rows.starts.push_back(0);
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        if (rowWidth(sizes, gaps, rows.starts.back(), i + 1) > room)
            rows.starts.push_back(i);
    }
    rows.gaps = std::move(gaps);
    return rows;
}

struct ViewPlaces {
    std::vector<QRect> labels;
    QRect list;
    std::vector<QRect> buttons;
};

// The places in a window of `size` whose font has `metrics`, for labels
// and buttons of the given sizes.
ViewPlaces viewPlaces(const QSize& size, const QFontMetrics& metrics, const std::vector<int>& labelHeights,
                      const std::vector<QSize>& buttonSizes, const std::vector<int>& gaps)
{
    const double scale = metrics.height() / kDialogFontHeight;
    const auto px = [scale](int pixels) { return static_cast<int>(std::lround(pixels * scale)); };
    const int width = size.width();
    const int height = size.height();
    ViewPlaces places;

    int y = px(5);
    for (int labelHeight : labelHeights) {
        places.labels.emplace_back(px(10), y, std::max(width - px(60), 0), labelHeight);
        y += labelHeight + px(5);
    }
    const int listTop = std::max(px(60), y);

    std::vector<int> scaledGaps;
    for (int gap : gaps)
        scaledGaps.push_back(px(gap));
    const int left = px(15);
    const ButtonRows rows = splitIntoRows(buttonSizes, scaledGaps, width - 2 * left, px(5));
    places.buttons.resize(buttonSizes.size());
    int bottom = height - px(5);
    int buttonsTop = height;
    for (std::size_t r = rows.starts.size(); r-- > 0;) {
        const std::size_t from = rows.starts[r];
        const std::size_t to = r + 1 < rows.starts.size() ? rows.starts[r + 1] : buttonSizes.size();
        int rowHeight = 0;
        for (std::size_t i = from; i < to; ++i)
            rowHeight = std::max(rowHeight, buttonSizes[i].height());
        int x = left;
        for (std::size_t i = from; i < to; ++i) {
            if (i > from)
                x += rows.gaps[i];
            const QSize button = buttonSizes[i];
            places.buttons[i] = QRect(x, bottom - button.height(), button.width(), button.height());
            x += button.width();
        }
        buttonsTop = bottom - rowHeight;
        bottom = buttonsTop - px(5);
    }
    const int listBottom = std::min(height - px(35), buttonsTop - px(5));
    places.list = QRect(px(10), listTop, std::max(width - px(20), 0), std::max(listBottom - listTop, 0));
    return places;
}

} // namespace

void layOutView(QWidget& window, const std::vector<QLabel*>& labels, QWidget* list,
                const std::vector<BarButton>& buttons)
{
    std::vector<int> labelHeights;
    for (const QLabel* label : labels)
        labelHeights.push_back(label->sizeHint().height());
    std::vector<QSize> sizes;
    std::vector<int> gaps;
    for (const BarButton& bar : buttons) {
        sizes.push_back(bar.button->sizeHint());
        gaps.push_back(bar.gap);
    }
    const ViewPlaces places = viewPlaces(window.size(), window.fontMetrics(), labelHeights, sizes, gaps);
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i]->setGeometry(places.labels[i]);
    list->setGeometry(places.list);
    for (std::size_t i = 0; i < buttons.size(); ++i)
        buttons[i].button->setGeometry(places.buttons[i]);
}

} // namespace korvan::ui::runs
