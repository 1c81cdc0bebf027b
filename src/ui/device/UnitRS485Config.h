#pragma once
// The bus configuration window "V²BUS - Konfigurator": a thin view over the
// machine TBusConfigSession, which finds the modules on the V²BUS, gives them
// IDs, switches outputs, reads inputs and temperatures and sets PWM outputs.
// A timer runs the session's work at its next deadline; telegrams come in
// through the link port the window is given. Closing restarts the logic.
#include "device/BusConfigSession.h"
#include "ui/device/DeviceLink.h"

#include <QDialog>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;

namespace v7300 {

class TFrmRS485Config : public QDialog {
    Q_OBJECT
public:
    // `address`: the controller the bus commands go through.
    TFrmRS485Config(const std::string& address, TDeviceLinkPort link, Clock& clock, MessagePort& messages,
                    QWidget* parent = nullptr);
    ~TFrmRS485Config() override;

    TBusConfigSession& Session() { return *session_; }
    // The timer's work (tests call it themselves after moving their clock).
    void Tick();

    // controls, for the tests
    QListWidget* DeviceList() { return list_; }
    QPushButton* SearchButton() { return searchButton_; }
    QPushButton* ClearButton() { return clearButton_; }
    QProgressBar* SearchProgress() { return progress_; }
    QLabel* StatusLine() { return status_; }
    QLineEdit* FindField() { return findId_; }
    QPushButton* FindButton() { return findButton_; }
    QPushButton* FindUnconfiguredButton() { return findUnconfigured_; }
    QLineEdit* IdField() { return deviceId_; }
    QPushButton* IdButton() { return idButton_; }
    QLabel* DeviceType() { return deviceType_; }
    QLabel* DeviceFirmware() { return firmware_; }
    QFrame* OutputPanel() { return outputPanel_; }
    QFrame* InputPanel() { return inputPanel_; }
    QFrame* TemperaturePanel() { return temperaturePanel_; }
    QFrame* PwmPanel() { return pwmPanel_; }
    QPushButton* OutputPort(int k) { return outputPorts_[static_cast<std::size_t>(k)]; }
    QLabel* InputIndicator(int k) { return inputPorts_[static_cast<std::size_t>(k)]; }
    QLabel* Temperature(int k) { return temperatures_[static_cast<std::size_t>(k)]; }
    QPushButton* OutputSendButton() { return outputSend_; }
    QPushButton* InputFetchButton() { return inputFetch_; }
    QPushButton* TemperatureFetchButton() { return temperatureFetch_; }
    QPushButton* PwmSendButton() { return pwmSend_; }
    QSlider* PwmSlider(int k) { return pwm_[static_cast<std::size_t>(k)]; }
    QPushButton* SpecialButton() { return specialButton_; }
    QComboBox* FrequencyList(int k) { return frequency_[static_cast<std::size_t>(k)]; }
    QCheckBox* InvertBox(int k) { return invert_[static_cast<std::size_t>(k)]; }
    QPushButton* SetButton() { return setButton_; }
    QCheckBox* AutoFetchBox() { return autoFetch_; }
    QLabel* ConnectionLabel() { return connection_; }
    QPlainTextEdit* LogMemo() { return log_; }
    QPlainTextEdit* NoteMemo() { return memo_; }

    void done(int result) override;

private:
    void BuildLayout();
    void BuildDeviceArea();
    void BuildSelectionArea();
    void BuildOutputAndInputPanels();
    void BuildTemperatureAndPwmPanels();
    void BuildNotes();
    void Connect();
    void ConnectPanels();
    // Runs one input of the session, then shows the result and re-arms the timer.
    void Drive(const std::function<void()>& work);
    void Refresh();
    void RefreshList();
    void RefreshPanels();
    void RefreshLog();
    void Rearm();

    std::unique_ptr<TBusConfigSession> session_;
    TDeviceLinkPort link_;
    Clock& clock_;
    QTimer* timer_ = nullptr;
    bool syncing_ = false;

    QListWidget* list_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLineEdit* findId_ = nullptr;
    QPushButton* findButton_ = nullptr;
    QPushButton* findUnconfigured_ = nullptr;
    QLineEdit* deviceId_ = nullptr;
    QPushButton* idButton_ = nullptr;
    QLabel* deviceType_ = nullptr;
    QLabel* firmware_ = nullptr;
    QFrame* outputPanel_ = nullptr;
    QFrame* inputPanel_ = nullptr;
    QFrame* temperaturePanel_ = nullptr;
    QFrame* pwmPanel_ = nullptr;
    std::array<QPushButton*, 8> outputPorts_{};
    std::array<QLabel*, 8> inputPorts_{};
    std::array<QLabel*, 4> temperatures_{};
    std::array<QLabel*, 4> temperatureCaptions_{};
    QPushButton* outputSend_ = nullptr;
    QPushButton* inputFetch_ = nullptr;
    QPushButton* temperatureFetch_ = nullptr;
    QPushButton* pwmSend_ = nullptr;
    std::array<QSlider*, 2> pwm_{};
    QPushButton* specialButton_ = nullptr;
    std::array<QComboBox*, 2> frequency_{};
    std::array<QCheckBox*, 2> invert_{};
    QPushButton* setButton_ = nullptr;
    QCheckBox* autoFetch_ = nullptr;
    QLabel* connection_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    std::deque<std::string> shownLog_;
};

// "V7300-NET-IO" ▸ "Konfiguration" ▸ "V²BUS": the window, modal.
void ShowBusConfiguration(QWidget* parent, const std::string& address, TDeviceLinkPort link, Clock& clock,
                          MessagePort& messages);

} // namespace v7300
