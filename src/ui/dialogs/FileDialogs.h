#pragma once
// The open and save dialogs of the main window, replaceable in tests.
// Filters are written "Name (*.x)|*.x|Name2 (*.y)|*.y".
#include <string>

class QWidget;

namespace v7300 {

class TFileDialogs {
public:
    virtual ~TFileDialogs() = default;
    // The chosen path, "" when cancelled.
    virtual std::string OpenFile(QWidget* parent, const std::string& filter, const std::string& defaultExt) = 0;
    virtual std::string SaveFile(QWidget* parent, const std::string& filter, const std::string& defaultExt) = 0;
};

class TQtFileDialogs : public TFileDialogs {
public:
    std::string OpenFile(QWidget* parent, const std::string& filter, const std::string& defaultExt) override;
    std::string SaveFile(QWidget* parent, const std::string& filter, const std::string& defaultExt) override;
};

// "A (*.a)|*.a|B (*.b)|*.b" -> "A (*.a);;B (*.b)".
std::string QtFilter(const std::string& filter);

} // namespace v7300
