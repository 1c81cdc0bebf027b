#include "ui/app/MenuStyle.h"

#include "ui/app/Version.h"

#include <QMenuBar>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace v7300 {

namespace {
const QColor kBar(0x22, 0x22, 0x22);
const QColor kSelected(0x44, 0x44, 0x44);
const QColor kDisabledText(0xBB, 0xBB, 0xBB);
} // namespace

QString MenuCaption(const QString& text) {
    QString caption = text;
    caption.remove(QLatin1Char('&'));
    return caption;
}

TDarkMenuStyle::TDarkMenuStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int TDarkMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuBarPanelWidth:
    case PM_MenuBarHMargin:
    case PM_MenuBarVMargin:
    case PM_MenuBarItemSpacing: return 0;
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void TDarkMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
    if (element == PE_PanelMenu || element == PE_FrameMenu || element == PE_PanelMenuBar) {
        painter->fillRect(option->rect, kBar);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize TDarkMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                       const QWidget* widget) const {
    if (type == CT_MenuItem || type == CT_MenuBarItem) {
        if (const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            QString caption = MenuCaption(mi->text);
            const int tab = caption.indexOf(QLatin1Char('\t'));
            const QString shortcut = tab >= 0 ? caption.mid(tab + 1) : QString();
            if (tab >= 0) caption = caption.left(tab);
            int w = mi->fontMetrics.horizontalAdvance(caption) + 23;
            if (!shortcut.isEmpty()) w += mi->fontMetrics.horizontalAdvance(shortcut) + 20;
            if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) w += 12;
            return {w, 20};
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void TDarkMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
    if (element == CE_MenuBarEmptyArea) {
        painter->fillRect(option->rect, kBar);
        // The version text ends at the window's right edge.
        const QString version = QString::fromLatin1(kVersion) + QStringLiteral(" (") +
                                QString::fromLatin1(kEdition) + QLatin1Char(')');
        painter->setPen(widget && !widget->isEnabled() ? QColor(0xDD, 0xDD, 0xDD) : QColor(Qt::white));
        QRect r = option->rect;
        r.setTop(r.top() + 1);
        painter->drawText(r.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, version);
        return;
    }
    if (element != CE_MenuItem && element != CE_MenuBarItem) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!mi) return;
    const QRect r = option->rect;
    const bool enabled = option->state & State_Enabled;
    const bool selected = (option->state & State_Selected) && enabled;
    painter->fillRect(r, selected ? kSelected : kBar);
    if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
        painter->setPen(Qt::white);
        painter->drawLine(r.left(), r.top() + r.height() / 2, r.right(), r.top() + r.height() / 2);
        return;
    }
    QString caption = MenuCaption(mi->text);
    QString shortcut;
    if (const int tab = caption.indexOf(QLatin1Char('\t')); tab >= 0) {
        shortcut = caption.mid(tab + 1);
        caption = caption.left(tab);
    }
    if (mi->checkType != QStyleOptionMenuItem::NotCheckable) {
        // The check icon: full colour when checked, grey when not.
        const QRect box(r.left() + 2, r.top() + 1 + 2, 14, 14);
        painter->setPen(mi->checked ? QColor(0xFF, 0x80, 0x00) : QColor(0x66, 0x66, 0x66));
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        QPen tick(mi->checked ? QColor(0xFF, 0x80, 0x00) : QColor(0x66, 0x66, 0x66), 2);
        painter->setPen(tick);
        painter->drawLine(box.left() + 3, box.top() + 7, box.left() + 6, box.top() + 10);
        painter->drawLine(box.left() + 6, box.top() + 10, box.left() + 11, box.top() + 3);
    } else if (!mi->icon.isNull()) {
        painter->drawPixmap(r.left() + 2, r.top() + 1, mi->icon.pixmap(16, 16));
    }
    painter->setPen(enabled ? QColor(Qt::white) : kDisabledText);
    const int textLeft = r.left() + 20;
    painter->drawText(QRect(textLeft, r.top(), r.width() - (textLeft - r.left()), r.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, caption);
    if (!shortcut.isEmpty())
        painter->drawText(r.adjusted(0, 0, -14, 0), Qt::AlignRight | Qt::AlignVCenter, shortcut);
    if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) {
        painter->drawText(r.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("›"));
    }
}

} // namespace v7300
