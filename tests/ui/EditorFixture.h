#pragma once
// A main window on the offscreen platform over the shipped component library,
// a temporary settings file, a recording message port, a virtual clock and
// scripted file dialogs. No timers, no device link, no simulation thread:
// the tests run timer work and simulation cycles themselves.
#include "core/Clock.h"
#include "core/NumberFormat.h"
#include "support/TestSupport.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/editor/DrawingArea.h"
#include "ui/app/Hauptform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace v7300::test {

inline void EnsureQApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives for the whole test program
}

// Answers the open and save dialogs from a queue ("" = cancelled) and records the filters.
class ScriptedDialogs : public TFileDialogs {
public:
    std::deque<std::string> answers;
    std::vector<std::string> filters;
    std::string OpenFile(QWidget*, const std::string& filter, const std::string&) override { return next(filter); }
    std::string SaveFile(QWidget*, const std::string& filter, const std::string&) override { return next(filter); }

private:
    std::string next(const std::string& filter) {
        filters.push_back(filter);
        if (answers.empty()) return {};
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
};

inline std::string ShippedLibrary() { return std::string(V7300_SOURCE_DIR) + "/objekts"; }

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        setDecimalSeparator(',');
        form = MakeForm({});
    }
    void TearDown() override {
        if (form) form->ParameterDialog = [](TLogic&, int) { return false; };
        form.reset();
    }

    // `adjust` changes the test setup before the window is made.
    std::unique_ptr<TForm2> MakeForm(const QStringList& arguments,
                                     const std::function<void(TForm2Setup&)>& adjust = {}) {
        TForm2Setup setup;
        setup.ProgramPath = "/usr/bin/true";
        setup.LibraryFolder = ShippedLibrary();
        setup.SettingsFile = dir.file("config.ini");
        setup.Messages = &messages;
        setup.ClockPort = &clock;
        setup.Dialogs = &dialogs;
        setup.Arguments = arguments;
        setup.RegisterFileTypes = false;
        setup.LinkEnabled = false;
        setup.SimulationWorker = false;
        setup.Timers = false;
        // No test opens a real browser or starts a program.
        setup.ToolsPorts.OpenUrl = [this](const std::string& url) {
            openedUrls.push_back(url);
            return true;
        };
        setup.ToolsPorts.StartProgram = [this](const std::string& program, const std::string&) {
            startedPrograms.push_back(program);
            return true;
        };
        if (adjust) adjust(setup);
        auto f = std::make_unique<TForm2>(setup);
        f->show();
        QCoreApplication::processEvents();
        f->resize(1000, 800);
        QCoreApplication::processEvents();
        f->Layout();
        messages.messages.clear();
        return f;
    }

    // Mouse events straight to a widget, in its own pixels.
    static void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, buttons, modifiers);
        QCoreApplication::sendEvent(w, &e);
    }
    void Move(QPoint p, Qt::MouseButtons buttons = Qt::NoButton) {
        Mouse(Area(), QEvent::MouseMove, p, Qt::NoButton, buttons);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        Move(p);
        Mouse(Area(), QEvent::MouseButtonPress, p, b, b);
    }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        Mouse(Area(), QEvent::MouseButtonRelease, p, b, Qt::NoButton);
    }
    QWidget* Area() { return form->Area(); }
    // Drawing-area pixel of a document point.
    QPoint ToArea(int docX, int docY) const {
        return {docX - form->Editor().ScrollOffset().x, docY - form->Editor().ScrollOffset().y};
    }
    // Places a component as a file would hold it: the document counts as unchanged.
    int Place(const std::string& type, int left, int top) {
        const int index = form->Logic().Add_objekt(type, "", left, top);
        form->Editor().Commit();
        form->Editor().MarkSaved();
        return index;
    }
    TLogicComponent& Comp(const std::string& name) { return *form->Logic().FindComponent(name); }

    TempDir dir;
    RecordingMessagePort messages;
    VirtualClock clock;
    ScriptedDialogs dialogs;
    std::vector<std::string> openedUrls;
    std::vector<std::string> startedPrograms;
    std::unique_ptr<TForm2> form;
};

} // namespace v7300::test
