// The file commands and the save question in every path, without a window.
#include "ProjectTestFixture.h"

#include "project/FileController.h"
#include "project/XmlProject.h"

#include <deque>
#include <filesystem>

namespace v7300::test {
namespace {

class ScriptedDialogs : public TFileDialogPort {
  public:
    std::deque<std::string> answers; // "" = cancelled
    int shown = 0;
    std::string OpenFile(const std::string&, const std::string&) override { return next(); }
    std::string SaveFile(const std::string&, const std::string&) override { return next(); }

  private:
    std::string next() {
        ++shown;
        if (answers.empty()) return {};
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
};

class FileControllerTest : public ProjectTest {
  protected:
    void SetUp() override {
        ProjectTest::SetUp();
        editor = std::make_unique<DiagramEditor>(*logic);
        files = std::make_unique<TFileController>(*editor, port, dialogs);
    }
    void Edit() {
        editor->AddComponent("AND");
        port.messages.clear();
    }
    std::string SavedProject() {
        const std::string path = dir.file("saved.v7k");
        Edit();
        dialogs.answers.push_back(path);
        EXPECT_TRUE(files->SaveAs());
        return path;
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (const auto& m : port.messages)
            out.push_back(m.caption);
        return out;
    }

    TempDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<DiagramEditor> editor;
    std::unique_ptr<TFileController> files;
};

TEST_F(FileControllerTest, TheMarkerFollowsTheHistoryAcrossASave) {
    EXPECT_EQ(files->DisplayedName(), "New File");
    SavedProject();
    EXPECT_EQ(files->DisplayedName(), dir.file("saved.v7k"));
    Edit();
    EXPECT_EQ(files->DisplayedName(), "* " + dir.file("saved.v7k"));
    editor->Undo();
    EXPECT_FALSE(files->Modified());
    editor->Undo();
    EXPECT_TRUE(files->Modified());
    editor->Redo();
    EXPECT_FALSE(files->Modified());
}

TEST_F(FileControllerTest, SaveQuestionOfNewInEveryAnswer) {
    struct Case {
        MsgButton answer;
        std::string saveDialog; // "" = cancelled
        bool cleared;
    };
    for (const Case& c :
         {Case{MbCancel, "", false}, {MbNo, "", true}, {MbYes, "", false}, {MbYes, "n.v7k", true}}) {
        logic->Init();
        editor->ResetHistory();
        Edit();
        port.answerNext(c.answer);
        dialogs.answers = {c.saveDialog.empty() ? "" : dir.file(c.saveDialog)};
        EXPECT_EQ(files->New(), c.cleared) << c.answer;
        EXPECT_EQ(logic->Components.Count(), c.cleared ? 0 : 1) << c.answer;
        EXPECT_EQ(Captions(), std::vector<std::string>{"Speichern"}) << c.answer;
        EXPECT_EQ(files->Modified(), !c.cleared) << c.answer;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.file("n.v7k")));
}

TEST_F(FileControllerTest, SaveQuestionOfOpenAndTheOpenDialogsCancel) {
    const std::string path = SavedProject();
    logic->Init();
    editor->ResetHistory();
    Edit();
    port.answerNext(MbCancel);
    EXPECT_FALSE(files->Open());
    EXPECT_EQ(dialogs.shown, 1); // the dialog never came
    port.answerNext(MbNo);
    EXPECT_FALSE(files->Open()); // the open dialog cancelled
    EXPECT_EQ(logic->Components.Count(), 1);
    port.answerNext(MbNo);
    dialogs.answers = {path};
    EXPECT_TRUE(files->Open());
    EXPECT_EQ(files->DisplayedName(), path);
    EXPECT_FALSE(editor->CanUndo());
}

TEST_F(FileControllerTest, CloseQueryClosesOnlyWhenNothingIsLost) {
    EXPECT_TRUE(files->CloseQuery());
    EXPECT_TRUE(port.messages.empty());
    Edit();
    port.answerNext(MbCancel);
    EXPECT_FALSE(files->CloseQuery());
    port.answerNext(MbYes); // the save-as dialog is cancelled: stays open
    EXPECT_FALSE(files->CloseQuery());
    port.answerNext(MbNo);
    EXPECT_TRUE(files->CloseQuery());
    port.answerNext(MbYes);
    dialogs.answers = {dir.file("c.v7k")};
    EXPECT_TRUE(files->CloseQuery());
    EXPECT_FALSE(files->Modified());
}

TEST_F(FileControllerTest, AFileThatCannotBeReadLeavesTheDocumentNameAndHistory) {
    SavedProject();
    Edit();
    const TDiagramContent before = logic->Content();
    writeFile(dir.file("bad.v7k"), "kein Projekt");
    EXPECT_FALSE(files->OpenPath(dir.file("bad.v7k"), true));
    EXPECT_TRUE(logic->Content() == before);
    EXPECT_EQ(files->FileName(), dir.file("saved.v7k"));
    EXPECT_TRUE(editor->CanUndo());
}

TEST_F(FileControllerTest, FailedSaveKeepsTheMarker) {
    const std::string path = SavedProject();
    Edit();
    std::filesystem::remove(path);
    std::filesystem::create_directory(path); // the name is taken by a folder now
    dialogs.answers = {dir.file("sub/none/x.v7k")};
    EXPECT_FALSE(files->Save());
    EXPECT_TRUE(files->Modified());
    EXPECT_EQ(Captions(), std::vector<std::string>{"Fehler"});
}

} // namespace
} // namespace v7300::test
