// Where the survey's table view goes for a scroll bar code: the bar's new position and the
// table position shown in the first row.
#pragma once

#include "ui/Dialog.h"

namespace odr::survey {

// Rows of the table on screen.
constexpr int kRows = 7;

struct ScrollStep {
    int position = 0;  // set on the bar (the bar keeps it inside its range)
    int top = 0;       // table position of row 0, never negative
};

// The step for `code` from bar position `position` (`thumb` for ThumbPosition) with `count`
// table positions in use and row 0 at `currentTop`. False when nothing moves: `count` fits
// on screen. Thumb tracking and the end of a scroll leave bar and view where they are.
bool ScrollView(ui::ScrollCode code, int position, int thumb, int count, int currentTop,
                ScrollStep* step);

}  // namespace odr::survey
