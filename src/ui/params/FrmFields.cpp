#include "ui/params/FrmFields.h"

#include "model/ParamFields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace v7300::params {
namespace {

using K = TParamControlKind;

const TParamDialogSpec& specOf(const std::string& typeName) {
    const TParamDialogSpec* spec = FindParamDialog(typeName);
    if (!spec) throw std::logic_error("no dialog for " + typeName);
    return *spec;
}

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TFrmFieldDialog::TFrmFieldDialog(const std::string& typeName, QWidget* parent)
    : TFrmUserdefineSetter(specOf(typeName), parent) {
    for (const TParamControl& c : Spec->controls) {
        QWidget* w = nullptr;
        switch (c.kind) {
        case K::Edit:
        case K::NumberEdit: {
            auto* edit = new QLineEdit(this);
            if (c.maxLength > 0) edit->setMaxLength(c.maxLength);
            edit->setFrame(c.framed);
            if (c.kind == K::NumberEdit && c.keyFilter) editMaxKeyPress(*edit);
            w = edit;
            break;
        }
        case K::CheckBox: {
            // The caption is cut off by the box's width; the picture names it.
            w = new QCheckBox(c.items.empty() ? QString() : q(c.items.front()), this);
            ShowIndicator(*w);
            break;
        }
        case K::RadioGroup: {
            auto* box = new QGroupBox(c.side == TLabelSide::None ? q(c.label) : QString(), this);
            auto* layout = new QVBoxLayout(box);
            auto* group = new QButtonGroup(box);
            for (std::size_t i = 0; i < c.items.size(); ++i) {
                auto* radio = new QRadioButton(q(c.items[i]), box);
                CondenseToFit(*radio, c.w - 20);
                ShowIndicator(*radio);
                group->addButton(radio, static_cast<int>(i));
                layout->addWidget(radio);
            }
            groups_[c.name] = group;
            w = box;
            break;
        }
        case K::TimePicker: {
            auto* time = new QTimeEdit(this);
            time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
            CondenseToFit(*time, c.w);
            w = time;
            break;
        }
        default: continue;
        }
        w->setObjectName(q(c.name));
        w->setGeometry(c.x, c.y, c.w, c.h);
        controls_[c.name] = w;
        if (!Spec->labelsInPicture && !c.label.empty() && c.side != TLabelSide::None) AddLabel(c);
    }
    if (panelMoveForm) panelMoveForm->raise();
}

QWidget* TFrmFieldDialog::Control(const std::string& name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

std::vector<std::string> TFrmFieldDialog::Values() const {
    std::vector<std::string> values;
    for (const TParamControl& c : Spec->controls) {
        QWidget* w = Control(c.name);
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            values.push_back(edit->text().toStdString());
        else if (auto* box = qobject_cast<QCheckBox*>(w))
            values.push_back(box->isChecked() ? "1" : "0");
        else if (auto* time = qobject_cast<QTimeEdit*>(w))
            values.push_back(FormatStoredTime({time->time().hour(), time->time().minute(), time->time().second()}));
        else if (groups_.count(c.name))
            values.push_back(std::to_string(groups_.at(c.name)->checkedId()));
        else
            values.emplace_back();
    }
    return values;
}

void TFrmFieldDialog::SetValues(const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < Spec->controls.size() && i < values.size(); ++i) {
        const TParamControl& c = Spec->controls[i];
        QWidget* w = Control(c.name);
        if (values[i].empty() && !qobject_cast<QLineEdit*>(w)) continue; // the component lacks the variable
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(q(values[i]));
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            box->setChecked(values[i] == "1");
        } else if (auto* time = qobject_cast<QTimeEdit*>(w)) {
            const TTimeOfDay t = ParseStoredTime(values[i]);
            time->setTime(QTime(t.Hour, t.Minute, t.Second));
        } else if (groups_.count(c.name)) {
            QButtonGroup* group = groups_.at(c.name);
            if (QAbstractButton* b = group->button(std::atoi(values[i].c_str()))) b->setChecked(true);
        }
    }
}

void TFrmFieldDialog::StartParamSet(TLogicComponentList& components, int index) {
    SetValues(ReadFieldValues(*Spec, components.Items(index).Variables));
}

void TFrmFieldDialog::EndParamSet(TLogicComponentList& components, int index) {
    WriteFieldValues(*Spec, components.Items(index).Variables, Values(), Messages());
}

} // namespace v7300::params
