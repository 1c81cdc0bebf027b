#include "device/FlashOutput.h"

namespace v7300 {

void TFlashOutput::EndLine() {
    Done_.push_back(std::move(Current_));
    Current_.clear();
}

void TFlashOutput::Append(const std::string& bytes) {
    for (const char c : bytes) {
        if (PendingCR_) {
            PendingCR_ = false;
            if (c == '\n') {
                EndLine();
                continue;
            }
            Current_.clear(); // a lone CR: the line is written again
        }
        if (c == '\r') {
            PendingCR_ = true;
        } else if (c == '\n') {
            EndLine();
        } else {
            if (Current_.size() >= kMaxLineLength) EndLine();
            Current_.push_back(c);
        }
    }
}

void TFlashOutput::AppendLine(const std::string& text) {
    PendingCR_ = false;
    if (!Current_.empty()) EndLine();
    Done_.push_back(text);
}

void TFlashOutput::Clear() {
    Done_.clear();
    Current_.clear();
    PendingCR_ = false;
}

void TFlashOutput::Trim(std::size_t maxLines) {
    while (LineCount() > maxLines) {
        if (Done_.empty()) {
            Current_.clear();
            break;
        }
        Done_.pop_front();
    }
}

std::vector<std::string> TFlashOutput::Lines() const {
    std::vector<std::string> lines(Done_.begin(), Done_.end());
    if (!Current_.empty()) lines.push_back(Current_);
    return lines;
}

std::string TFlashOutput::Text() const {
    std::string text;
    for (const auto& line : Lines()) {
        text += line;
        text += '\n';
    }
    if (!text.empty()) text.pop_back();
    return text;
}

} // namespace v7300
