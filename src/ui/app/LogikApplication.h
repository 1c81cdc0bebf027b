#pragma once
// The application object: every exception that escapes an event handler is
// caught here and handed to the error report window; the program goes on.
#include <QApplication>

namespace v7300 {

class TLogikApplication : public QApplication {
    Q_OBJECT
public:
    TLogikApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace v7300
