#include "ui/app/DarkLook.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QToolTip>
#include <QTranslator>
#include <QWidget>

namespace v7300 {

QPalette DarkPalette() {
    using namespace look;
    QPalette p;
    p.setColor(QPalette::Window, kDark);
    p.setColor(QPalette::WindowText, kText);
    p.setColor(QPalette::Base, kBlack);
    p.setColor(QPalette::AlternateBase, kDark);
    p.setColor(QPalette::Text, kText);
    p.setColor(QPalette::PlaceholderText, kDisabledText);
    p.setColor(QPalette::Button, kGrey);
    p.setColor(QPalette::ButtonText, kText);
    p.setColor(QPalette::BrightText, kOrange);
    p.setColor(QPalette::Light, QColor(0x66, 0x66, 0x66));
    p.setColor(QPalette::Midlight, QColor(0x55, 0x55, 0x55));
    p.setColor(QPalette::Mid, QColor(0x33, 0x33, 0x33));
    p.setColor(QPalette::Dark, QColor(0x11, 0x11, 0x11));
    p.setColor(QPalette::Shadow, kBlack);
    p.setColor(QPalette::Highlight, kOrange);
    p.setColor(QPalette::HighlightedText, kBlack);
    p.setColor(QPalette::Link, kOrange);
    p.setColor(QPalette::LinkVisited, QColor(0xCC, 0x66, 0x00));
    p.setColor(QPalette::ToolTipBase, kDark);
    p.setColor(QPalette::ToolTipText, kText);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, kDisabledText);
    p.setColor(QPalette::Disabled, QPalette::Button, kDark);
    p.setColor(QPalette::Disabled, QPalette::Base, kDark);
    p.setColor(QPalette::Disabled, QPalette::Highlight, kGrey);
    return p;
}

void ApplyDarkLook(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    const QPalette palette = DarkPalette();
    app.setPalette(palette);
    QToolTip::setPalette(palette);
}

void SetColours(QWidget& widget, const QColor& background, const QColor& text) {
    QPalette p = widget.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, background);
        p.setColor(group, QPalette::Base, background);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Text, text);
    }
    p.setColor(QPalette::Disabled, QPalette::Window, background);
    widget.setPalette(p);
    widget.setAutoFillBackground(true);
}

QTranslator* InstallGermanTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    app.installTranslator(translator);
    return translator;
}

} // namespace v7300
