#include "ui/sim/Unit_SimInput.h"

#include "ui/app/DarkLook.h"

#include <QLabel>
#include <QSlider>

namespace v7300 {

TFrmSimInput::TFrmSimInput(int inputNumber, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("IN") + QString::number(inputNumber));
    setFixedSize(265, 60);
    SetColours(*this, Qt::black, Qt::white);
    Slider = new QSlider(Qt::Horizontal, this);
    Slider->setGeometry(1, 8, 257, 26);
    Slider->setRange(0, 1024);
    Slider->setValue(0);
    Value = new QLabel(QStringLiteral("0"), this);
    Value->setGeometry(8, 40, 250, 13);
    Value->setAlignment(Qt::AlignHCenter);
    connect(Slider, &QSlider::valueChanged, this, [this](int v) {
        Value->setText(QString::number(v));
        if (OnChange) OnChange(v);
    });
}

} // namespace v7300
