#pragma once
// The dark owner-drawn main menu: entries 20 pixels high on 0x222222, the
// selected one on 0x444444, white captions after a 20-pixel icon column,
// separators as white lines, and the version text at the right end of the bar.
#include <QProxyStyle>

namespace v7300 {

class TDarkMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    TDarkMenuStyle();
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
};

// The caption without "&" characters.
QString MenuCaption(const QString& text);

} // namespace v7300
