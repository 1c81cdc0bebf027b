#pragma once
// The small window "Search Devices": the addresses of the controllers that
// answered a ping, and "OK" to take the selected one. It shows the device
// search's list, which lives as long as the program.
#include "device/DeviceSearch.h"

#include <QDialog>

#include <optional>
#include <string>

class QListWidget;
class QPushButton;

namespace v7300 {

class TFrmV7300Devices : public QDialog {
    Q_OBJECT
public:
    TFrmV7300Devices(TDeviceSearch& search, QWidget* parent = nullptr);

    // Fills the list from the search and shows the window modally; with "OK"
    // and a selected line, that line's address.
    std::optional<std::string> Choose();
    // Fills the list from the search (Choose does it itself).
    void Refill();

    QListWidget* List() { return list_; }
    QPushButton* OkButton() { return ok_; }

private:
    TDeviceSearch& search_;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace v7300
