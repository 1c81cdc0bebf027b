// The "Zeitverlauf" window over a filled session: its buttons, wheel and scroll
// bar, lane selection and removal, the exports, and an offscreen screenshot.
#include "EditorFixture.h"
#include "core/Image.h"
#include "core/NumberFormat.h"
#include "simulation/TimingPlotSession.h"
#include "ui/app/DarkLook.h"
#include "ui/sim/Zeitverlauf.h"

#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <map>

namespace v7300::test {
namespace {

struct Store : TSimulationState {
    std::map<std::string, std::string> values;
    bool Running() const override { return true; }
    std::string GetVariable(const std::string& name) const override {
        const auto it = values.find(name);
        return it == values.end() ? "0" : it->second;
    }
};

class ZeitverlaufTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        ApplyDarkLook(*qApp);
        setDecimalSeparator(',');
        // Ten minutes of six switched outputs and a counting timer: more lanes than fit.
        for (int n = 1; n <= 6; ++n)
            session.Add("$OUT" + std::to_string(n) + "__A1", "OUT" + std::to_string(n) + ".A1");
        session.Add("$TIMER1_SEKUNDEN", "TIMER1.SEKUNDEN");
        const std::int64_t start = (DateTime{2026, 1, 5, 12, 0, 0, 0}).toEpochMs();
        session.Begin(start, {});
        for (int s = 0; s <= 600; ++s) {
            for (int n = 1; n <= 6; ++n)
                store.values["$OUT" + std::to_string(n) + "__A1"] = (s / (5 * n)) % 2 ? "1" : "0";
            store.values["$TIMER1_SEKUNDEN"] = std::to_string(s % 45);
            session.Sample(start + s * 1000LL, store);
        }
        window = std::make_unique<TFrmZeitverlauf>(session, dialogs, messages);
        window->resize(900, 320);
        window->show();
        QCoreApplication::processEvents();
    }

    void Wheel(int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(300, 40), QPointF(300, 40), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(window->Plot, &event);
    }
    void Click(int y) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(60, y), QPointF(60, y), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(window->Plot, &press);
    }

    TTimingPlotSession session;
    Store store;
    ScriptedDialogs dialogs;
    RecordingMessagePort messages;
    std::unique_ptr<TFrmZeitverlauf> window;
};

TEST_F(ZeitverlaufTest, ButtonsWheelAndScrollBarDriveTheView) {
    EXPECT_TRUE(window->FollowButton->isChecked());
    EXPECT_EQ(window->TimeBar->value(), window->TimeBar->maximum());
    EXPECT_EQ(window->Picture().width(), window->Lanes->viewport()->width());
    EXPECT_GT(window->Lanes->verticalScrollBar()->maximum(), 0); // the lanes scroll

    window->ZoomInButton->click();
    EXPECT_EQ(session.SpanMs(), 30000);
    Wheel(120, Qt::ControlModifier);
    EXPECT_EQ(session.SpanMs(), 15000);
    window->ZoomOutButton->click();
    EXPECT_EQ(session.SpanMs(), 30000);
    Wheel(120, Qt::NoModifier); // back in time by a tenth of the span
    EXPECT_FALSE(window->FollowButton->isChecked());
    EXPECT_EQ(session.View(1).To, 600000 - 3000);

    window->TimeBar->setValue(0);
    EXPECT_EQ(session.View(1).From, 0);
    window->FollowButton->click();
    EXPECT_TRUE(session.Following());
    EXPECT_EQ(window->TimeBar->value(), window->TimeBar->maximum());
    window->AllButton->click();
    EXPECT_EQ(session.SpanMs(), 600000);
    EXPECT_EQ(window->TimeBar->maximum(), 0);
}

TEST_F(ZeitverlaufTest, RedrawsOnlyWhenTheSessionChanged) {
    const qint64 drawn = window->Picture().cacheKey();
    window->Refresh();
    EXPECT_EQ(window->Picture().cacheKey(), drawn);
    session.Sample((DateTime{2026, 1, 5, 12, 10, 1, 0}).toEpochMs(), store);
    window->Refresh();
    EXPECT_NE(window->Picture().cacheKey(), drawn);
}

TEST_F(ZeitverlaufTest, ClickedLaneIsRemovedByEntfernen) {
    EXPECT_FALSE(window->RemoveButton->isEnabled());
    Click(TTimingPlotRenderer::kTop + TTimingPlotRenderer::kDigitalLane + 5); // the second lane
    ASSERT_EQ(window->Selected(), std::optional<std::string>("$OUT2__A1"));
    EXPECT_TRUE(window->RemoveButton->isEnabled());
    window->RemoveButton->click();
    EXPECT_FALSE(session.Contains("$OUT2__A1"));
    EXPECT_EQ(session.Names().size(), 6u);
    EXPECT_FALSE(window->RemoveButton->isEnabled());
}

TEST_F(ZeitverlaufTest, ExportsTheWholeRecordingAndReportsAFailedWrite) {
    TempDir dir;
    dialogs.answers = {dir.file("z.png"), dir.file("z.csv"), dir.file("z.csv/x.csv")};
    window->ZoomInButton->click(); // the export ignores the view
    window->PngButton->click();
    window->CsvButton->click();
    QDir().mkpath(QStringLiteral(V7300_BINARY_DIR "/screenshots"));
    QFile::remove(QStringLiteral(V7300_BINARY_DIR "/screenshots/zeitverlauf-export.png"));
    QFile::copy(QString::fromStdString(dir.file("z.png")), QStringLiteral(V7300_BINARY_DIR "/screenshots/zeitverlauf-export.png"));
    const Image png = decodePng(dir.file("z.png"));
    EXPECT_EQ(png.width, TTimingPlotSession::kExportWidth);
    EXPECT_EQ(png.height, session.Height());
    const std::string csv = readFile(dir.file("z.csv"));
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "Zeit [s];Datum/Uhrzeit;OUT1.A1;OUT2.A1;OUT3.A1;OUT4.A1;OUT5.A1;OUT6.A1;TIMER1.SEKUNDEN");
    EXPECT_NE(csv.find("\r\n600,000;2026-01-05 12:10:00,000;"), std::string::npos);
    EXPECT_EQ(dialogs.filters, (std::vector<std::string>{"PNG-Bilddatei (*.png)|*.png", "CSV-Datei (*.csv)|*.csv"}));
    EXPECT_TRUE(messages.messages.empty());

    window->CsvButton->click();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.rfind("Speichern Fehlgeschlagen!\r\n", 0), 0u);
}

TEST_F(ZeitverlaufTest, ScreenshotIsDarkWithReadableLanes) {
    Click(TTimingPlotRenderer::kTop + 5);
    window->Lanes->verticalScrollBar()->setValue(0);
    const QImage shot = window->grab().toImage();
    const QString folder = QStringLiteral(V7300_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    shot.save(folder + QStringLiteral("/zeitverlauf.png"));

    auto lightness = [](QRgb p) { return (qRed(p) * 299 + qGreen(p) * 587 + qBlue(p) * 114) / 1000; };
    // Black behind the lanes: left of the traces, below the second lane's name.
    const QPoint behind = window->Lanes->geometry().topLeft() +
                          QPoint(150, TTimingPlotRenderer::kTop + TTimingPlotRenderer::kDigitalLane + 30);
    EXPECT_EQ(shot.pixel(behind) & 0xFFFFFF, 0u);
    int light = 0, orange = 0, bright = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            light += lightness(p) > 0xC0;
            orange += qRed(p) > 0xE0 && qGreen(p) > 0x60 && qGreen(p) < 0xA0 && qBlue(p) < 0x40;
            bright += lightness(p) > 0x80;
        }
    EXPECT_GT(light, 500);                           // button captions and lane names
    EXPECT_GT(orange, 500);                          // the traces
    EXPECT_LT(bright, shot.width() * shot.height() / 8); // dark throughout

    // The time axis below the last lane.
    window->Lanes->verticalScrollBar()->setValue(window->Lanes->verticalScrollBar()->maximum());
    window->grab().save(folder + QStringLiteral("/zeitverlauf-axis.png"));
}

} // namespace
} // namespace v7300::test
