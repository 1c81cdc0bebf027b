// The window "Atmel Beschreiben" offscreen, with a fake avrdude and pseudo-terminals.
#include "EditorFixture.h"
#include "support/FakeAvrdude.h"
#include "support/Pty.h"
#include "ui/device/Unit_Atmel_Beschreiben.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <unistd.h>

namespace v7300::test {
namespace {

class AtmelBeschreibenTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        ASSERT_EQ(::symlink(pty.slave().c_str(), dir.file("ttyUSB0").c_str()), 0);
    }
    std::unique_ptr<TFrmAtmelBeschreiben> Open(const std::string& searchPath) {
        auto w = std::make_unique<TFrmAtmelBeschreiben>(
            nullptr, TFirmwareFlashSetup{dir.file("isp"), searchPath, &messages, nullptr}, dir.path());
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
    static void Choose(TFrmAtmelBeschreiben& w, int entry) {
        w.FirmwareList()->item(entry)->setSelected(true);
        w.PortList()->setCurrentIndex(0);
    }
    static bool WaitUntilDone(TFrmAtmelBeschreiben& w) {
        QElapsedTimer t;
        t.start();
        while (w.Flash().Running() && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return !w.Flash().Running();
    }
    static void Screenshot(QWidget& w, const char* name) {
        const QString folder = QStringLiteral(V7300_BINARY_DIR "/screenshots");
        QDir().mkpath(folder);
        w.grab().save(folder + "/" + name);
    }
    TempDir dir;
    Pty pty;
    RecordingMessagePort messages;
};

TEST_F(AtmelBeschreibenTest, LayoutListsAndTheOpenablePorts) {
    auto w = Open("");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Atmel Beschreiben"));
    EXPECT_EQ(w->size(), QSize(939, 556));
    EXPECT_EQ(w->FirmwareList()->geometry(), QRect(8, 27, 321, 310));
    EXPECT_EQ(w->TransferButton()->geometry(), QRect(151, 360, 178, 25));
    EXPECT_EQ(w->TransferButton()->text(), QStringLiteral("Firmware übertragen"));
    EXPECT_EQ(w->PortList()->pos(), QPoint(8, 362));
    EXPECT_EQ(w->PortList()->width(), 137);
    EXPECT_EQ(w->NoteBox()->geometry(), QRect(8, 407, 321, 138));
    EXPECT_EQ(w->OutputBox()->geometry(), QRect(335, 27, 594, 518));
    EXPECT_TRUE(w->OutputBox()->isReadOnly());
    ASSERT_EQ(w->FirmwareList()->count(), 12);
    EXPECT_EQ(w->FirmwareList()->item(11)->text(), QStringLiteral("ATTiny2313 Löschen"));
    EXPECT_EQ(w->FirmwareList()->visualItemRect(w->FirmwareList()->item(0)).height(), 50);
    ASSERT_EQ(w->PortList()->count(), 1);
    EXPECT_EQ(w->PortList()->itemText(0).toStdString(), dir.file("ttyUSB0"));
    EXPECT_EQ(w->PortList()->currentIndex(), -1);
    Screenshot(*w, "atmel_beschreiben.png");
}

TEST_F(AtmelBeschreibenTest, NoPortChosenIsRefused) {
    auto w = Open("");
    w->FirmwareList()->item(11)->setSelected(true);
    w->TransferButton()->click();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Bitte zuerst einen Comport auswählen!"});
    EXPECT_TRUE(w->TransferButton()->isEnabled());
}

TEST_F(AtmelBeschreibenTest, ARunShowsTheLastThirtyLinesWithTheStatusAndEnablesTheButtonAgain) {
    const auto fake = WriteFakeAvrdude(dir, "bin", 40, 1);
    auto w = Open(fake.Folder);
    Choose(*w, 1);
    w->TransferButton()->click();
    EXPECT_FALSE(w->TransferButton()->isEnabled());
    EXPECT_FALSE(w->FirmwareList()->isEnabled());
    ASSERT_TRUE(WaitUntilDone(*w));
    w->Tick(); // the trimming timer
    const QStringList lines = w->OutputBox()->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 30);
    EXPECT_EQ(lines.front(), QStringLiteral("Zeile 12"));
    EXPECT_EQ(lines.back(), QStringLiteral("avrdude beendet mit Status 1"));
    EXPECT_TRUE(w->TransferButton()->isEnabled());
    EXPECT_TRUE(w->FirmwareList()->isEnabled());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Falshvorgang beendet!"});
    EXPECT_EQ(readFile(fake.Arguments).substr(0, 9), "-p\nt2313\n");
    Screenshot(*w, "atmel_beschreiben_lauf.png");
}

TEST_F(AtmelBeschreibenTest, ClosingDuringARunEndsItsAvrdude) {
    const auto fake = WriteFakeAvrdude(dir, "bin", 1, 0, /*waits=*/true);
    auto w = Open(fake.Folder);
    Choose(*w, 11);
    w->TransferButton()->click();
    const int pid = w->Flash().ChildPid();
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(ProcessAlive(pid));
    w->close();
    EXPECT_FALSE(w->Flash().Running());
    EXPECT_FALSE(ProcessAlive(pid));
    EXPECT_TRUE(messages.texts().empty());
}

} // namespace
} // namespace v7300::test
