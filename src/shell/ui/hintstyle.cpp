#include "shell/ui/hintstyle.h"

namespace kelvane {

int HintStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const
{
    if (hint == QStyle::SH_ToolTip_WakeUpDelay)
        return 1000;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace kelvane
