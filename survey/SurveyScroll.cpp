// The survey table's scroll steps.
#include "survey/SurveyScroll.h"

namespace odr::survey {

bool ScrollView(ui::ScrollCode code, int position, int thumb, int count, int currentTop,
                ScrollStep* step) {
    if (count <= kRows) return false;
    const int n = count;
    const int last = n - kRows;  // top that shows the last position in the last row
    int bar = position;
    int top = position;
    switch (code) {
        case ui::ScrollCode::LineUp:
            bar = position - 1 <= 0 ? 0 : (position + 6 > n ? n - 8 : position - 1);
            top = bar;
            break;
        case ui::ScrollCode::LineDown:
            if (position + 1 < last) {
                bar = top = position + 1;
            } else {
                bar = n;
                top = last;
            }
            break;
        case ui::ScrollCode::PageUp:
            bar = position - kRows < kRows ? 0 : position - kRows;
            top = bar;
            break;
        case ui::ScrollCode::PageDown:
            if (position + kRows <= last) {
                bar = top = position + kRows;
            } else {
                bar = n;
                top = last;
            }
            break;
        case ui::ScrollCode::ThumbPosition:
            bar = thumb;
            top = thumb + kRows >= n ? last : thumb;
            break;
        case ui::ScrollCode::Top:
            bar = top = 0;
            break;
        case ui::ScrollCode::Bottom:
            bar = top = last;
            break;
        case ui::ScrollCode::ThumbTrack:
        case ui::ScrollCode::EndScroll:
            top = currentTop;
            break;
    }
    step->position = bar;
    step->top = top < 0 ? 0 : top;
    return true;
}

}  // namespace odr::survey
