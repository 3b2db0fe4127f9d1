#include "viewer/top_row.h"

#include <algorithm>

// The proportions of dialog templates, in units of the font's line: a push button 14/8 of a line
// high, controls 4/8 of a line from each other and from the edges.
RowLayout LayoutTopRow(const std::vector<RowItem>& items, const RowMetrics& metrics, int32_t width) {
    const int32_t line = std::max(metrics.textHeight, 1);
    const int32_t gap = line / 2, buttonHeight = line * 14 / 8;
    RowLayout layout{buttonHeight + 2 * gap, {}};
    int32_t left = gap;
    for (size_t i = 0; i < items.size(); ++i) {
        const RowItem& item = items[i];
        int32_t itemWidth = item.textWidth;
        int32_t height = line;
        if (item.kind == RowItemKind::CheckBox) {
            itemWidth += metrics.checkBoxSize + line / 2;
            height = std::max(line, metrics.checkBoxSize);
        } else if (item.kind == RowItemKind::Button) {
            itemWidth += 2 * line;
            height = buttonHeight;
        }
        int32_t right = i + 1 == items.size() ? std::max(width - gap, left) : left + itemWidth;
        int32_t top = (layout.height - height) / 2;
        layout.places.push_back({left, top, right, top + height});
        left = right + gap;
    }
    return layout;
}
