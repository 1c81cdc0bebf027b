#pragma once
// The firmware flashing window "Atmel Beschreiben": a thin view over the
// machine TFirmwareFlash, which runs avrdude and keeps the output box's lines.
#include "device/FirmwareFlash.h"

#include <QDialog>

#include <memory>
#include <string>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSocketNotifier;
class QTimer;

namespace v7300 {

class TFrmAtmelBeschreiben : public QDialog {
    Q_OBJECT
public:
    // The port list is built from the serial devices of the folder that open now.
    TFrmAtmelBeschreiben(QWidget* parent, TFirmwareFlashSetup setup, const std::string& deviceFolder);
    ~TFrmAtmelBeschreiben() override;

    TFirmwareFlash& Flash() { return *flash_; }
    QListWidget* FirmwareList() { return list_; }
    QComboBox* PortList() { return ports_; }
    QPushButton* TransferButton() { return button_; }
    QPlainTextEdit* OutputBox() { return output_; }
    QLabel* NoteBox() { return note_; }
    // The 100 ms timer's work (tests call it themselves).
    void Tick();

    // Closing ends the avrdude run started here, and only that.
    void done(int result) override;

private:
    void BuildLayout();
    void Refresh();
    void WatchOutput();

    std::unique_ptr<TFirmwareFlash> flash_;
    QListWidget* list_ = nullptr;
    QComboBox* ports_ = nullptr;
    QPushButton* button_ = nullptr;
    QLabel* note_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
    QTimer* timer_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    QString shownText_;
};

// "Updaten" ▸ "Firmware (V7300 Programmer erforderlich)": the window, modal,
// with tools/isp beside the program as its working folder.
void ShowAtmelBeschreiben(QWidget* parent, MessagePort& messages, Clock& clock, const std::string& programFolder);

} // namespace v7300
