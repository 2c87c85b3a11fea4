// Portable helpers of the window-system layer.
#include "ui/Host.h"

namespace odr::ui {

std::string FitTooltip(const std::string& tip) {
    return tip.size() > kMaxTooltip ? tip.substr(0, kMaxTooltip) : tip;
}

}  // namespace odr::ui
