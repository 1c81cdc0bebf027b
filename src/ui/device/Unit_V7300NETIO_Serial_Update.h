#pragma once
// The transfer window "Logik in NET-IO Flashen": a thin view over the machine
// TTransferSession, which watches the controller, reads and writes its
// configuration and writes the program. A timer runs the session's work at its
// next deadline; telegrams come in through the link port the window is given.
#include "device/TransferSession.h"
#include "ui/device/DeviceLink.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

namespace v7300 {

class TFrmV7300Devices;

class TFrmV7300NETIO_SendSerial : public QDialog {
    Q_OBJECT
public:
    // `search` is the program's device list (kept beyond the window); `devices`
    // its window, or null for one of the window's own.
    TFrmV7300NETIO_SendSerial(TV7300_EEPROM_Data image, std::int32_t programChecksum, const std::string& address,
                              TDeviceLinkPort link, Clock& clock, MessagePort& messages, TDeviceSearch& search,
                              TFrmV7300Devices* devices = nullptr, QWidget* parent = nullptr);
    ~TFrmV7300NETIO_SendSerial() override;

    TTransferSession& Session() { return *session_; }
    // The "Projekt NET-IO IP" field: the main window takes it back on close.
    std::string Address() const;
    // The timer's work (tests call it themselves after moving their clock).
    void Tick();
    // How the device list is shown after the search's wait; by default the
    // device window, modally. Returns the chosen address.
    std::function<std::optional<std::string>()> ChooseDevice;

    // controls, for the tests
    QLineEdit* AddressField() { return address_; }
    QPushButton* SearchButton() { return searchButton_; }
    QLineEdit* NewIpField() { return newIp_; }
    QLineEdit* MaskField() { return mask_; }
    QLineEdit* GatewayField() { return gateway_; }
    QLineEdit* DnsField() { return dns_; }
    QComboBox* TimeZoneList() { return timeZone_; }
    QLineEdit* MacField(int i) { return mac_[static_cast<std::size_t>(i)]; }
    QLineEdit* WebPortField() { return webPort_; }
    QLineEdit* TelnetPortField() { return telnetPort_; }
    QLineEdit* CrcField() { return crc_; }
    QLineEdit* PasswordField() { return password_; }
    QLabel* StatusLine() { return status_; }
    QLabel* ClockLine() { return clockLine_; }
    QLabel* FirmwareLine() { return firmware_; }
    QLabel* CycleTime() { return cycleTime_; }
    QLabel* IndicatorPanel(int i) { return panels_[static_cast<std::size_t>(i)]; }
    QPushButton* TransferButton() { return transferButton_; }
    QPushButton* ClockButton() { return clockButton_; }
    QProgressBar* Progress() { return progress_; }
    QListWidget* Log() { return log_; }

    void done(int result) override;

private:
    void BuildLayout();
    void BuildSettings();
    void BuildStatus();
    void Connect();
    // Runs one input of the session, then shows the result and re-arms the timer.
    void Drive(const std::function<void()>& work);
    void Refresh();
    void Rearm();
    void AppendLog(const std::string& line);

    std::unique_ptr<TTransferSession> session_;
    TDeviceLinkPort link_;
    Clock& clock_;
    TFrmV7300Devices* devices_;
    std::unique_ptr<TFrmV7300Devices> ownDevices_;
    QTimer* timer_ = nullptr;
    bool choosing_ = false;

    QLineEdit* address_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QLineEdit* newIp_ = nullptr;
    QLineEdit* mask_ = nullptr;
    QLineEdit* gateway_ = nullptr;
    QLineEdit* dns_ = nullptr;
    QComboBox* timeZone_ = nullptr;
    std::array<QLineEdit*, 6> mac_{};
    QLineEdit* webPort_ = nullptr;
    QLineEdit* telnetPort_ = nullptr;
    QLineEdit* crc_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* clockLine_ = nullptr;
    QLabel* firmware_ = nullptr;
    QLabel* cycleTime_ = nullptr;
    std::array<QLabel*, 3> panels_{};
    QPushButton* transferButton_ = nullptr;
    QPushButton* clockButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QListWidget* log_ = nullptr;
};

// "Logik" (F5) after a successful compile: the window, modal. Returns the
// "Projekt NET-IO IP" field as it was at closing.
std::string ShowTransferWindow(QWidget* parent, TV7300_EEPROM_Data image, std::int32_t programChecksum,
                               const std::string& address, TDeviceLinkPort link, Clock& clock, MessagePort& messages,
                               TDeviceSearch& search);

} // namespace v7300
