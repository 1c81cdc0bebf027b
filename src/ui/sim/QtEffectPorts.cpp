#include "ui/sim/QtEffectPorts.h"

#include "ui/sim/Unit_LCD.h"
#include "ui/sim/Unit_SimInput.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
#include <QProcess>
#include <QSlider>
#include <QStringList>
#include <QUrl>
#ifdef V7300_HAVE_QT_MULTIMEDIA
#include <QSoundEffect>
#endif

namespace v7300 {

void TQtLcdPort::SetLines(const std::string& line1, const std::string& line2) {
    window_->PostLine(1, QString::fromStdString(line1));
    window_->PostLine(2, QString::fromStdString(line2));
}

void TQtLcdPort::Show() { window_->PostShow(); }

void TQtExecPort::Open(const ExecRequest& request) {
    const QString path = QString::fromStdString(request.Path);
    QStringList args;
    for (const auto& a : SplitArguments(request.Parameters)) args << QString::fromStdString(a);
    const QString dir = QString::fromStdString(request.WorkingDir);
    QMetaObject::invokeMethod(
        qApp,
        [path, args, dir] {
            const QFileInfo info(path);
            if (info.isFile() && info.isExecutable())
                QProcess::startDetached(path, args, dir);
            else
                QDesktopServices::openUrl(QUrl::fromUserInput(path, dir, QUrl::AssumeLocalFile));
        },
        Qt::QueuedConnection);
}

#ifdef V7300_HAVE_QT_MULTIMEDIA
TQtPlayPort::TQtPlayPort(bool useQtMultimedia) : useQt_(useQtMultimedia) {}
#else
TQtPlayPort::TQtPlayPort(bool) : useQt_(false) {}
#endif
TQtPlayPort::~TQtPlayPort() = default;

void TQtPlayPort::Play(const std::string& fileName) {
    const QString file = QString::fromStdString(fileName);
    QPointer<TQtPlayPort> self(this);
    QMetaObject::invokeMethod(
        qApp,
        [self, file] {
            if (!self) return;
            // A sound still playing is cut off by the next one.
            self->Stop();
#ifdef V7300_HAVE_QT_MULTIMEDIA
            if (self->useQt_) {
                self->effect_ = std::make_unique<QSoundEffect>();
                self->effect_->setSource(QUrl::fromLocalFile(file));
                self->effect_->play();
                return;
            }
#endif
            self->fallback_.Play(file.toStdString());
        },
        Qt::QueuedConnection);
}

void TQtPlayPort::Stop() {
#ifdef V7300_HAVE_QT_MULTIMEDIA
    if (effect_) effect_->stop();
#endif
    effect_.reset();
    fallback_.Stop();
}

TQtSimInputPort::~TQtSimInputPort() {
    for (auto& [name, window] : windows_)
        if (window) window->OnChange = nullptr;
}

void TQtSimInputPort::ShowSliderWindow(const std::string& componentName) {
    QPointer<TFrmSimInput>& window = windows_[componentName];
    if (!window) {
        int n = 0;
        if (componentName.size() > 2) n = QString::fromStdString(componentName.substr(2)).toInt();
        window = new TFrmSimInput(n, owner_);
        // Without an owner the window takes care of itself; the next click makes a new one.
        if (!owner_) window->setAttribute(Qt::WA_DeleteOnClose);
        window->OnChange = [this, componentName](int value) {
            if (sink_) sink_(componentName, value);
        };
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->Slider->setFocus();
}

TFrmSimInput* TQtSimInputPort::Window(const std::string& componentName) const {
    const auto it = windows_.find(componentName);
    return it == windows_.end() ? nullptr : it->second.data();
}

} // namespace v7300
