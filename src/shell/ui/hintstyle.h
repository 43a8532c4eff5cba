#pragma once

#include <QProxyStyle>

namespace kelvane {

// The program's style: hints appear after one second.
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

} // namespace kelvane
