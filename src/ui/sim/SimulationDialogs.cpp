#include "ui/sim/SimulationDialogs.h"

#include "core/NumberFormat.h"
#include "simulation/DateTimeText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace v7300 {
namespace {

QLabel* hintLabel(QWidget* parent) {
    auto* hint = new QLabel(parent);
    hint->setStyleSheet(QStringLiteral("QLabel { color: #FF6666; }"));
    hint->setWordWrap(true);
    return hint;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

TFrmForceValue::TFrmForceValue(const std::string& component, std::vector<TForceChoice> choices, QWidget* parent)
    : QDialog(parent), choices_(std::move(choices)) {
    setWindowTitle(QStringLiteral("Wert erzwingen – ") + QString::fromStdString(component));
    auto* form = new QFormLayout;
    entries_ = new QComboBox(this);
    for (const TForceChoice& c : choices_) {
        QString text = QString::fromStdString(c.Reference) + QStringLiteral("  (jetzt ") +
                       QString::fromStdString(c.Value) + QStringLiteral(")");
        if (c.Forced) text += QStringLiteral(", erzwungen");
        entries_->addItem(text);
    }
    value_ = new QLineEdit(this);
    value_->setMinimumWidth(160);
    form->addRow(QStringLiteral("Eintrag:"), entries_);
    form->addRow(QStringLiteral("Wert:"), value_);
    hint_ = hintLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint_);
    layout->addWidget(okCancel(this));
    connect(entries_, &QComboBox::currentIndexChanged, this, [this](int i) { ChoiceChanged(i); });
    ChoiceChanged(0);
}

void TFrmForceValue::ChoiceChanged(int index) {
    if (index < 0 || index >= static_cast<int>(choices_.size())) return;
    const TForceChoice& c = choices_[static_cast<std::size_t>(index)];
    // An output is offered flipped: forcing it usually means the other state.
    value_->setText(QString::fromStdString(c.Output ? (c.Value == "0" ? "1" : "0") : c.Value));
    value_->selectAll();
    hint_->setText(c.Output ? QStringLiteral("0 oder 1") : QString());
}

void TFrmForceValue::accept() {
    const int index = entries_->currentIndex();
    if (index < 0 || index >= static_cast<int>(choices_.size())) return;
    const TForceChoice& c = choices_[static_cast<std::size_t>(index)];
    const TForceValue checked = CheckForceValue(c, value_->text().toStdString(), decimalSeparator());
    if (!checked.Error.empty()) {
        hint_->setText(QString::fromStdString(checked.Error));
        value_->setFocus();
        return;
    }
    request_ = {c.Store, checked.Value};
    QDialog::accept();
}

TFrmGoToTime::TFrmGoToTime(const std::string& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Gehe zu Zeitpunkt"));
    auto* form = new QFormLayout;
    value_ = new QLineEdit(QString::fromStdString(current), this);
    value_->setMinimumWidth(180);
    value_->selectAll();
    form->addRow(QStringLiteral("Datum und Uhrzeit:"), value_);
    auto* format = new QLabel(QStringLiteral("TT.MM.JJJJ hh:mm:ss"), this);
    format->setStyleSheet(QStringLiteral("QLabel { color: #AAAAAA; }"));
    form->addRow(QString(), format);
    hint_ = hintLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint_);
    layout->addWidget(okCancel(this));
}

void TFrmGoToTime::accept() {
    const auto t = ParseDateTimeText(value_->text().toStdString());
    if (!t) {
        hint_->setText(QStringLiteral("Ungültiger Zeitpunkt: bitte TT.MM.JJJJ hh:mm:ss eingeben."));
        value_->setFocus();
        return;
    }
    target_ = *t;
    QDialog::accept();
}

std::optional<TForceRequest> AskForceValue(const std::string& component, std::vector<TForceChoice> choices,
                                           QWidget* parent) {
    TFrmForceValue dialog(component, std::move(choices), parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Request();
}

std::optional<DateTime> AskGoToTime(const std::string& current, QWidget* parent) {
    TFrmGoToTime dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Target();
}

} // namespace v7300
