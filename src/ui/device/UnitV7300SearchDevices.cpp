#include "ui/device/UnitV7300SearchDevices.h"

#include "ui/device/DeviceWidgets.h"

#include <QListWidget>
#include <QPushButton>

namespace v7300 {

using namespace device_ui;

TFrmV7300Devices::TFrmV7300Devices(TDeviceSearch& search, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      search_(search) {
    setWindowTitle(QStringLiteral("Search Devices"));
    setFixedSize(241, 281);
    MakeBlackWindow(*this);
    list_ = new QListWidget(this);
    list_->setGeometry(8, 8, 225, 230);
    list_->setFont(FixedPitchFont(10));
    ok_ = Button(this, QStringLiteral("OK"), QRect(80, 246, 81, 25));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void TFrmV7300Devices::Refill() {
    list_->clear();
    for (const auto& address : search_.Addresses()) list_->addItem(QString::fromStdString(address));
}

std::optional<std::string> TFrmV7300Devices::Choose() {
    Refill();
    if (exec() != QDialog::Accepted) return std::nullopt;
    const auto selected = list_->selectedItems();
    return search_.Choose(selected.isEmpty() ? -1 : list_->row(selected.front()));
}

} // namespace v7300
