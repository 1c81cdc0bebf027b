#include "simulation/TimingPlotSession.h"

#include <algorithm>

namespace v7300 {

namespace {

std::int64_t clampSpan(std::int64_t span) {
    return std::clamp(span, TTimingPlotSession::kMinSpanMs, TTimingPlotSession::kMaxSpanMs);
}

} // namespace

TTimingPlotSession::TTimingPlotSession(TTimeZone zone) : zone_(zone), plot_({}, 0, zone) {}

void TTimingPlotSession::SetOnEntriesChanged(std::function<void(const std::vector<std::string>&)> onChanged) {
    onEntriesChanged_ = std::move(onChanged);
}

void TTimingPlotSession::EntriesChanged() {
    if (onEntriesChanged_) onEntriesChanged_(Names());
}

bool TTimingPlotSession::Add(const std::string& storeName, const std::string& label) {
    {
        std::lock_guard lock(mutex_);
        for (const TEntry& e : entries_)
            if (e.Name == storeName) return false;
        entries_.push_back({storeName, label});
        plot_.AddTrace(storeName, label);
        ++revision_;
    }
    EntriesChanged();
    return true;
}

bool TTimingPlotSession::Remove(const std::string& storeName) {
    {
        std::lock_guard lock(mutex_);
        const auto it = std::find_if(entries_.begin(), entries_.end(),
                                     [&](const TEntry& e) { return e.Name == storeName; });
        if (it == entries_.end()) return false;
        // The plot's traces are the entries in the same order.
        plot_.RemoveTrace(static_cast<std::size_t>(it - entries_.begin()));
        entries_.erase(it);
        ++revision_;
    }
    EntriesChanged();
    return true;
}

bool TTimingPlotSession::Contains(const std::string& storeName) const {
    std::lock_guard lock(mutex_);
    return std::any_of(entries_.begin(), entries_.end(), [&](const TEntry& e) { return e.Name == storeName; });
}

std::vector<std::string> TTimingPlotSession::Names() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const TEntry& e : entries_) names.push_back(e.Name);
    return names;
}

std::vector<TTimingPlotSession::TEntry> TTimingPlotSession::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

void TTimingPlotSession::StartLocked(std::int64_t startUtcMs) {
    plot_ = TTimingPlot({}, startUtcMs, zone_);
    for (const TEntry& e : entries_) plot_.AddTrace(e.Name, e.Label);
    startUtcMs_ = startUtcMs;
    begun_ = true;
    ++revision_;
}

void TTimingPlotSession::Begin(std::int64_t startUtcMs, TTimeZone zone) {
    std::lock_guard lock(mutex_);
    zone_ = std::move(zone);
    StartLocked(startUtcMs);
    follow_ = true;
}

void TTimingPlotSession::Sample(std::int64_t simulatedUtcMs, const TSimulationState& store) {
    std::lock_guard lock(mutex_);
    if (!begun_) StartLocked(simulatedUtcMs);
    std::int64_t t = simulatedUtcMs - startUtcMs_;
    if (t < 0 || t < plot_.End()) {
        // The simulated clock was set back: the times would no longer ascend.
        StartLocked(simulatedUtcMs);
        t = 0;
    }
    plot_.Sample(t, store);
    ++revision_;
}

std::uint64_t TTimingPlotSession::Revision() const {
    std::lock_guard lock(mutex_);
    return revision_;
}

std::int64_t TTimingPlotSession::End() const {
    std::lock_guard lock(mutex_);
    return plot_.End();
}

bool TTimingPlotSession::Truncated() const {
    std::lock_guard lock(mutex_);
    return plot_.Truncated();
}

TTimingPlotSession::Window TTimingPlotSession::ViewLocked() const {
    const std::int64_t end = plot_.End();
    if (all_) return {0, std::max(end, kMinSpanMs)};
    if (follow_) {
        const std::int64_t to = std::max(end, span_);
        return {to - span_, to};
    }
    const std::int64_t from = std::clamp<std::int64_t>(from_, 0, std::max<std::int64_t>(0, end - span_));
    return {from, from + span_};
}

std::int64_t TTimingPlotSession::SpanLocked() const {
    const Window w = ViewLocked();
    return w.To - w.From;
}

bool TTimingPlotSession::Following() const {
    std::lock_guard lock(mutex_);
    return follow_;
}

void TTimingPlotSession::SetFollowing(bool on) {
    std::lock_guard lock(mutex_);
    if (!on) {
        const Window w = ViewLocked();
        span_ = clampSpan(w.To - w.From);
        from_ = w.From;
        all_ = false;
    }
    follow_ = on;
    ++revision_;
}

bool TTimingPlotSession::ShowingAll() const {
    std::lock_guard lock(mutex_);
    return all_;
}

void TTimingPlotSession::ShowAll() {
    std::lock_guard lock(mutex_);
    all_ = true;
    follow_ = true;
    ++revision_;
}

std::int64_t TTimingPlotSession::SpanMs() const {
    std::lock_guard lock(mutex_);
    return SpanLocked();
}

void TTimingPlotSession::ZoomIn() {
    std::lock_guard lock(mutex_);
    const Window w = ViewLocked();
    const std::int64_t span = clampSpan((w.To - w.From) / 2);
    from_ = std::max<std::int64_t>(0, (w.From + w.To) / 2 - span / 2);
    span_ = span;
    all_ = false;
    ++revision_;
}

void TTimingPlotSession::ZoomOut() {
    std::lock_guard lock(mutex_);
    const Window w = ViewLocked();
    const std::int64_t span = clampSpan((w.To - w.From) * 2);
    from_ = std::max<std::int64_t>(0, (w.From + w.To) / 2 - span / 2);
    span_ = span;
    all_ = false;
    ++revision_;
}

void TTimingPlotSession::MoveToLocked(std::int64_t from) {
    span_ = clampSpan(SpanLocked());
    all_ = false;
    follow_ = from >= plot_.End() - span_;
    from_ = std::max<std::int64_t>(0, from);
    ++revision_;
}

void TTimingPlotSession::ScrollBy(std::int64_t ms) {
    std::lock_guard lock(mutex_);
    MoveToLocked(ViewLocked().From + ms);
}

TTimingPlotSession::TScrollBar TTimingPlotSession::ScrollBarLocked() const {
    const Window w = ViewLocked();
    const std::int64_t end = plot_.End(), span = w.To - w.From;
    TScrollBar bar;
    bar.UnitMs = std::max<std::int64_t>(1, (std::max(end, w.To) + 999999999) / 1000000000);
    bar.Maximum = static_cast<int>(std::max<std::int64_t>(0, end - span) / bar.UnitMs);
    bar.Page = static_cast<int>(std::max<std::int64_t>(1, span / bar.UnitMs));
    bar.Step = std::max(1, bar.Page / 10);
    bar.Value = static_cast<int>(std::min<std::int64_t>(w.From / bar.UnitMs, bar.Maximum));
    return bar;
}

TTimingPlotSession::TScrollBar TTimingPlotSession::ScrollBar() const {
    std::lock_guard lock(mutex_);
    return ScrollBarLocked();
}

void TTimingPlotSession::ScrollTo(int value) {
    std::lock_guard lock(mutex_);
    const TScrollBar bar = ScrollBarLocked();
    // The thumb at the end follows again, whatever the rounding of the units.
    MoveToLocked(value >= bar.Maximum ? plot_.End() : std::int64_t{value} * bar.UnitMs);
}

TPlotView TTimingPlotSession::View(int width) const {
    std::lock_guard lock(mutex_);
    const Window w = ViewLocked();
    return {w.From, w.To, width};
}

int TTimingPlotSession::Height() const {
    std::lock_guard lock(mutex_);
    return TTimingPlotRenderer::Height(plot_);
}

void TTimingPlotSession::Draw(Canvas& canvas, int width) const {
    std::lock_guard lock(mutex_);
    const Window w = ViewLocked();
    TTimingPlotRenderer::Draw(canvas, plot_, {w.From, w.To, width});
}

void TTimingPlotSession::DrawWhole(Canvas& canvas, int width) const {
    std::lock_guard lock(mutex_);
    TTimingPlotRenderer::Draw(canvas, plot_, {0, -1, width});
}

std::string TTimingPlotSession::Csv(char decimalSeparator) const {
    std::lock_guard lock(mutex_);
    return plot_.Csv(decimalSeparator);
}

std::optional<std::string> TTimingPlotSession::NameAtY(int y) const {
    std::lock_guard lock(mutex_);
    const auto lane = TTimingPlotRenderer::LaneAt(plot_, y);
    if (!lane || *lane >= entries_.size()) return std::nullopt;
    return entries_[*lane].Name;
}

std::optional<std::pair<int, int>> TTimingPlotSession::LaneOf(const std::string& storeName) const {
    std::lock_guard lock(mutex_);
    int top = TTimingPlotRenderer::kTop;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const int bottom = top + TTimingPlotRenderer::LaneHeight(plot_, i);
        if (entries_[i].Name == storeName) return std::pair{top, bottom};
        top = bottom;
    }
    return std::nullopt;
}

} // namespace v7300
