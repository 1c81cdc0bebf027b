#pragma once
// A document over the test library with a DiagramEditor on a 800 × 600 drawing
// area, driven in drawing-area pixels.
#include "model/DiagramEditor.h"
#include "model/Logic.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace v7300::test {

class FakeSimulation : public TSimulationState {
  public:
    bool running = true;
    bool Running() const override { return running; }
    std::string GetVariable(const std::string&) const override { return "0"; }
};

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeTestLibrary(dir.path());
        logic = std::make_unique<TLogic>(dir.path(), port);
        logic->NewProject();
        editor = std::make_unique<DiagramEditor>(*logic);
        editor->OnEditParameters = [this](int index) { edited.push_back(index); };
        editor->OnToggleInput = [this](int n) { toggled.push_back(n); };
        editor->Layout(800, 600, 700);
        editor->ResetHistory();
    }
    void Move(int x, int y) { editor->MouseMove(x, y); }
    TPopupMenu Press(int x, int y, TMouseButton b = TMouseButton::Left, bool shift = false) {
        Move(x, y);
        return editor->MouseDown(b, shift);
    }
    void Release(int x, int y, TMouseButton b = TMouseButton::Left) { editor->MouseUp(b, x, y); }
    void Drag(int fromX, int fromY, int toX, int toY, bool shift = false) {
        Press(fromX, fromY, TMouseButton::Left, shift);
        Move(toX, toY);
        Release(toX, toY);
    }
    std::string Place(const std::string& type, int left, int top) {
        const int index = logic->Add_objekt(type, "", left, top);
        editor->Commit();
        return index < 0 ? std::string() : logic->Components.Items(index).Name;
    }
    const TLogicComponent& Comp(const std::string& name) const {
        return *std::as_const(*logic).FindComponent(name);
    }
    void Wire(const std::string& from, const std::string& to, int input = 0) {
        logic->add_verbinder(from, 0, input, to);
        editor->Commit();
    }

    TempDir dir;
    RecordingMessagePort port;
    std::unique_ptr<TLogic> logic;
    std::unique_ptr<DiagramEditor> editor;
    std::vector<int> edited;
    std::vector<int> toggled;
};

} // namespace v7300::test
