#include "model/UndoHistory.h"

#include <algorithm>

namespace v7300 {

TUndoHistory::TUndoHistory(std::size_t limit) : limit_(std::max<std::size_t>(limit, 1)) {
    states_.emplace_back();
}

void TUndoHistory::Reset(const TDiagramContent& content, bool saved) {
    states_.clear();
    states_.push_back(content);
    position_ = 0;
    saved_ = saved ? 0 : kNone;
    lastMergeKey_ = 0;
}

bool TUndoHistory::Record(const TDiagramContent& content, std::uint64_t mergeKey) {
    if (content == states_[position_]) return false;
    const bool merge = mergeKey != 0 && mergeKey == lastMergeKey_ && position_ + 1 == states_.size() &&
                       position_ > 0 && saved_ != position_;
    states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(position_) + 1, states_.end());
    if (saved_ != kNone && saved_ > position_) saved_ = kNone;
    if (merge) {
        states_[position_] = content;
    } else {
        states_.push_back(content);
        ++position_;
    }
    lastMergeKey_ = mergeKey;
    // A drag that came back to where it started is no step.
    if (merge && states_[position_ - 1] == content) {
        states_.pop_back();
        --position_;
        lastMergeKey_ = 0;
    }
    while (states_.size() > limit_) {
        states_.pop_front();
        --position_;
        saved_ = saved_ == 0 || saved_ == kNone ? kNone : saved_ - 1;
    }
    return true;
}

const TDiagramContent& TUndoHistory::Undo() {
    if (CanUndo()) --position_;
    lastMergeKey_ = 0;
    return states_[position_];
}

const TDiagramContent& TUndoHistory::Redo() {
    if (CanRedo()) ++position_;
    lastMergeKey_ = 0;
    return states_[position_];
}

void TUndoHistory::MarkSaved() {
    saved_ = position_;
    lastMergeKey_ = 0;
}

} // namespace v7300
