#pragma once
// The output box of the flashing window as text lines: bytes are appended as
// they arrive; CR LF and LF end a line, a lone CR starts the line afresh (so a
// progress bar redrawn in place stays one line); Trim keeps the newest lines.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace v7300 {

class TFlashOutput {
public:
    // A longer line is broken, so that output without line ends cannot grow without bound.
    static constexpr std::size_t kMaxLineLength = 4096;

    void Append(const std::string& bytes);
    // A line of the window's own, on a line of its own.
    void AppendLine(const std::string& text);
    void Clear();
    // Deletes the oldest lines until at most maxLines remain.
    void Trim(std::size_t maxLines);

    // The lines shown: the finished ones and the one being written, if it has text.
    std::vector<std::string> Lines() const;
    std::size_t LineCount() const { return Done_.size() + (Current_.empty() ? 0 : 1); }
    // The lines joined with LF.
    std::string Text() const;

private:
    void EndLine();

    std::deque<std::string> Done_;
    std::string Current_;
    bool PendingCR_ = false;
};

} // namespace v7300
