// The car view's row of controls holds every control's whole text at any scale of the screen.
#include "viewer/top_row.h"

#include <gtest/gtest.h>

namespace {

TEST(TopRowTest, EveryControlHoldsItsTextAtEveryScale) {
    for (int32_t scale : {2, 3, 4}) { // 96, 144 and 192 dots per inch
        const int32_t line = 13 * scale / 2, box = 13 * scale / 2;
        const std::vector<RowItem> items = {{RowItemKind::CheckBox, 40 * scale},
                                            {RowItemKind::Button, 35 * scale},
                                            {RowItemKind::Text, 60 * scale},
                                            {RowItemKind::Text, 400 * scale}};
        const RowLayout row = LayoutTopRow(items, {line, box}, 700 * scale);
        ASSERT_EQ(row.places.size(), items.size());
        int32_t reached = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            const PixelRect& at = row.places[i];
            const bool button = items[i].kind == RowItemKind::Button;
            EXPECT_GE(at.right - at.left, items[i].textWidth + (items[i].kind == RowItemKind::CheckBox ? box
                                                                : button                               ? line
                                                                                                       : 0))
                << scale << " " << i;
            EXPECT_GE(at.bottom - at.top, button ? line * 3 / 2 : line);
            EXPECT_TRUE(at.left > reached && at.top > 0 && at.bottom < row.height) << scale << " " << i;
            reached = at.right;
        }
        EXPECT_EQ(reached, 700 * scale - line / 2) << "the last item takes what is left";
    }
}

} // namespace
