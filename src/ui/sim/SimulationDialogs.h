#pragma once
// The two small dialogs of the simulation controls: "Wert erzwingen" (an entry
// of a component and the value it keeps) and "Gehe zu Zeitpunkt" (a date and
// time). Both check what was typed before they close with OK.
#include "simulation/ForceChoices.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;

namespace v7300 {

struct TForceRequest {
    std::string Store;
    std::string Value;
};

class TFrmForceValue : public QDialog {
    Q_OBJECT
  public:
    TFrmForceValue(const std::string& component, std::vector<TForceChoice> choices, QWidget* parent);

    QComboBox* Entries() const { return entries_; }
    QLineEdit* Value() const { return value_; }
    QLabel* Hint() const { return hint_; }
    // The checked choice after OK.
    const TForceRequest& Request() const { return request_; }

    void accept() override;

  private:
    void ChoiceChanged(int index);

    std::vector<TForceChoice> choices_;
    QComboBox* entries_ = nullptr;
    QLineEdit* value_ = nullptr;
    QLabel* hint_ = nullptr;
    TForceRequest request_;
};

class TFrmGoToTime : public QDialog {
    Q_OBJECT
  public:
    TFrmGoToTime(const std::string& current, QWidget* parent);

    QLineEdit* Value() const { return value_; }
    QLabel* Hint() const { return hint_; }
    const DateTime& Target() const { return target_; }

    void accept() override;

  private:
    QLineEdit* value_ = nullptr;
    QLabel* hint_ = nullptr;
    DateTime target_;
};

// Modal; nothing when cancelled.
std::optional<TForceRequest> AskForceValue(const std::string& component, std::vector<TForceChoice> choices,
                                           QWidget* parent);
std::optional<DateTime> AskGoToTime(const std::string& current, QWidget* parent);

} // namespace v7300
