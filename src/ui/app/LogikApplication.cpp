#include "ui/app/LogikApplication.h"

#include "ui/dialogs/UnitError.h"

namespace v7300 {

TLogikApplication::TLogikApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TLogikApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportException(receiver, e);
    } catch (...) {
        ReportUnknownException(receiver);
    }
    return false;
}

} // namespace v7300
