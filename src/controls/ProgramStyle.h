#pragma once

#include <QProxyStyle>

namespace cdk {

// The desktop's own style with one change: dialog and message-box buttons
// carry no stock bitmap pictures, which clash with the program's flat SVG
// icons.
class ProgramStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option = nullptr,
                  const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace cdk
