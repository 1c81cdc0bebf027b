#pragma once
// The slider of a simulated analogue input: 0 … 1024, the value shown below it.
#include <QWidget>

#include <functional>

class QLabel;
class QSlider;

namespace v7300 {

class TFrmSimInput : public QWidget {
    Q_OBJECT
public:
    TFrmSimInput(int inputNumber, QWidget* parent = nullptr);
    QSlider* Slider = nullptr;
    QLabel* Value = nullptr;
    std::function<void(int)> OnChange;
};

} // namespace v7300
