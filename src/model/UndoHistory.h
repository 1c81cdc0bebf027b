#pragma once
// The undo history of the document: a list of content snapshots with the
// current position in it. One gesture or command is one step; the steps of one
// drag carry the same merge key and become one step. The history also knows
// which step was saved last, so the document counts as modified exactly when
// the current step is another one.
#include "model/DiagramContent.h"

#include <cstddef>
#include <cstdint>
#include <deque>

namespace v7300 {

class TUndoHistory {
  public:
    // The oldest steps are dropped beyond this many.
    static constexpr std::size_t kDefaultLimit = 1000;

    explicit TUndoHistory(std::size_t limit = kDefaultLimit);

    // Forgets every step: the content is the one state, and it counts as saved
    // (New and Open) or as unsaved.
    void Reset(const TDiagramContent& content, bool saved = true);

    // Records the content as a new step when it differs from the current one and
    // returns whether it did. Steps after the current one are dropped. A non-zero
    // merge key equal to that of the step just recorded replaces that step
    // instead (the moves of one drag).
    bool Record(const TDiagramContent& content, std::uint64_t mergeKey = 0);

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ + 1 < states_.size(); }
    // Step back or forward; returns the content to show.
    const TDiagramContent& Undo();
    const TDiagramContent& Redo();
    const TDiagramContent& Current() const { return states_[position_]; }

    // The current step is what the file holds now.
    void MarkSaved();
    // The saved step is gone (a failed save, or it was dropped): modified until the next save.
    void ForgetSaved() { saved_ = kNone; }
    bool IsModified() const { return saved_ != position_; }

    std::size_t Steps() const { return states_.size(); }
    std::size_t Position() const { return position_; }

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::size_t limit_;
    std::deque<TDiagramContent> states_;
    std::size_t position_ = 0;
    std::size_t saved_ = 0;
    std::uint64_t lastMergeKey_ = 0;
};

} // namespace v7300
