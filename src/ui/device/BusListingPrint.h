#pragma once
// "Tools" ▸ "Hardware Anschlussbeschreibung": the bus listing print-out of the
// document's V²BUS components through the print dialog; with no printer set
// up, offered as a PDF file as the diagram's print does.
#include "core/MessagePort.h"

#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

namespace v7300 {

class TFileDialogs;
class TLogic;

struct TBusListingPrintPorts {
    // The installed printers; by default the system's.
    std::function<QStringList()> Printers;
    // The print dialog on the printer; false when cancelled. By default Qt's print dialog.
    std::function<bool(QPrinter& printer, QWidget* parent)> Confirm;
};

// Prints the listing; tells the user through the message port what went wrong.
void PrintBusListingDialog(QWidget* parent, const TLogic& logic, MessagePort& messages, TFileDialogs& dialogs,
                           TBusListingPrintPorts ports = {});

} // namespace v7300
