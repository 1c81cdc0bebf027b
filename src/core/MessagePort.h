#pragma once
// How the core tells the user something: a modal message box with caption,
// text, icon and buttons that answers with the button pressed.
#include <string>

namespace v7300 {

enum class MsgIcon { None, Error, Warning, Information, Question };

enum MsgButton : unsigned {
    MbNone = 0,
    MbOk = 1,
    MbCancel = 2,
    MbYes = 4,
    MbNo = 8,
    MbAbort = 16,
    MbRetry = 32,
    MbIgnore = 64,
};

struct Message {
    std::string caption; // empty for a plain box
    std::string text;
    MsgIcon icon = MsgIcon::None;
    unsigned buttons = MbOk;
    MsgButton defaultButton = MbOk;
};

class MessagePort {
public:
    virtual ~MessagePort() = default;
    virtual MsgButton show(const Message& message) = 0;

    // Shorthands for the boxes the program uses.
    void showPlain(const std::string& text) { show({"", text, MsgIcon::None, MbOk, MbOk}); }
    void showError(const std::string& text) { show({"Fehler", text, MsgIcon::Error, MbOk, MbOk}); }
    void showHint(const std::string& text, MsgIcon icon = MsgIcon::Information) {
        show({"Hinweis", text, icon, MbOk, MbOk});
    }
};

// A port that answers every box with its default button and shows nothing.
class SilentMessagePort : public MessagePort {
public:
    MsgButton show(const Message& message) override { return message.defaultButton; }
};

} // namespace v7300
