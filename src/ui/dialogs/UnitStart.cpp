#include "ui/dialogs/UnitStart.h"

#include "core/Clock.h"
#include "ui/app/Version.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <cmath>

namespace v7300 {

QImage ProgramPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A small logic diagram: two gates wired to an output.
    const double s = std::min(width / 570.0, height / 350.0);
    p.scale(s, s);
    QPen wire(QColor(0xFF, 0x80, 0x00), 4);
    p.setPen(wire);
    p.drawLine(140, 140, 260, 140);
    p.drawLine(140, 240, 260, 240);
    p.drawLine(330, 140, 380, 140);
    p.drawLine(330, 240, 380, 240);
    p.drawLine(380, 140, 380, 175);
    p.drawLine(380, 240, 380, 205);
    p.drawLine(380, 175, 410, 175);
    p.drawLine(380, 205, 410, 205);
    p.drawLine(470, 190, 530, 190);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawRect(260, 110, 70, 60);
    p.drawRect(260, 210, 70, 60);
    p.drawRect(410, 160, 60, 60);
    p.setBrush(QColor(0x44, 0xCC, 0x44));
    p.drawEllipse(QPointF(120, 140), 14, 14);
    p.setBrush(QColor(0x44, 0x44, 0x44));
    p.drawEllipse(QPointF(120, 240), 14, 14);
    p.setBrush(QColor(0xFF, 0x30, 0x30));
    p.drawEllipse(QPointF(545, 190), 14, 14);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(22);
    p.setFont(f);
    p.drawText(QRect(260, 110, 70, 60), Qt::AlignCenter, QStringLiteral("&"));
    p.drawText(QRect(260, 210, 70, 60), Qt::AlignCenter, QStringLiteral("≥1"));
    p.drawText(QRect(410, 160, 60, 60), Qt::AlignCenter, QStringLiteral("RS"));
    return image;
}

TFrmStart::TFrmStart(Clock& clock, int pauseMs, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::SplashScreen), clock_(clock), pauseMs_(pauseMs) {
    setFixedSize(570, 350);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Version = new QLabel(QString::fromLatin1(kVersion), this);
    Version->setStyleSheet(QStringLiteral("color: white;"));
    Version->move(11, 9);
    auto* heading = new QLabel(QStringLiteral("V7300 - Logik"), this);
    heading->setStyleSheet(QStringLiteral("color: white; font-weight: bold; font-size: 18pt;"));
    heading->move(113, 13);
    Bar = new QWidget(this);
    Bar->setAutoFillBackground(true);
    QPalette pal = Bar->palette();
    pal.setColor(QPalette::Window, QColor(0xFF, 0x80, 0x00));
    Bar->setPalette(pal);
    Bar->setGeometry(23, 306, 0, 17);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(285, 175));
}

void TFrmStart::Progress(int percent) {
    const int w = static_cast<int>(std::nearbyint(percent / 100.0 * 431));
    Bar->setGeometry(23, 306, w, 17);
    Bar->setVisible(w > 0);
    QApplication::processEvents();
    clock_.sleepMs(pauseMs_);
}

int TFrmStart::BarWidth() const { return Bar->isVisible() || Bar->width() > 0 ? Bar->width() : 0; }

void TFrmStart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    static const QImage picture = ProgramPicture(570, 350);
    p.drawImage(0, 0, picture);
}

} // namespace v7300
