// The main window opens the device windows: F5 hands the compiled image, the
// checksum and the document's address to the transfer window and takes the
// address back; "V²BUS" opens the bus window.
#include "EditorFixture.h"

#include <QAction>

namespace v7300::test {
namespace {

TEST_F(EditorTest, TransferGetsTheImageAndItsAddressComesBackAsOneUndoStep) {
    Place("IN", 10, 10);
    ASSERT_TRUE(form->Logic().SetDeviceAddress("127.0.0.1"));
    form->Editor().Commit();
    form->Editor().MarkSaved();
    transferAnswer = "127.0.0.2";
    const std::int32_t checksum = GetCrc(form->Logic());
    form->Action(QStringLiteral("Logik"))->trigger();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_GT(transfers[0].image.GetSize(), 49);
    EXPECT_EQ(transfers[0].checksum, checksum);
    EXPECT_EQ(transfers[0].address, "127.0.0.1");
    EXPECT_EQ(form->Logic().DeviceAddress, "127.0.0.2");
    EXPECT_TRUE(form->Editor().Modified());
    form->Editor().Undo();
    EXPECT_EQ(form->Logic().DeviceAddress, "127.0.0.1");
}

TEST_F(EditorTest, TransferThatKeepsTheAddressLeavesTheDocumentUnchanged) {
    Place("IN", 10, 10);
    form->Action(QStringLiteral("Logik"))->trigger();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_FALSE(form->Editor().Modified());
}

TEST_F(EditorTest, BusConfigurationEntryOpensTheBusWindow) {
    form->Action(QStringLiteral("V²BUS"))->trigger();
    EXPECT_EQ(busWindows, 1);
}

} // namespace
} // namespace v7300::test
