#pragma once
// The timing plot of the editor's simulation without a window: the entries the
// user chose ("Im Zeitverlauf zeigen"), the recording of the running
// simulation, and what the window shows of it (followed or scrolled back,
// zoomed, its scroll bar). The cycling thread samples, the window reads and
// draws; every call takes the one lock.
#include "core/TimeZone.h"
#include "model/Canvas.h"
#include "simulation/LogicSimulation.h"
#include "simulation/TimingPlot.h"
#include "simulation/TimingPlotRenderer.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace v7300 {

class TTimingPlotSession {
public:
    static constexpr std::int64_t kMinSpanMs = 1000;
    static constexpr std::int64_t kMaxSpanMs = 400LL * 86400000;
    static constexpr std::int64_t kDefaultSpanMs = 60000;
    // The exported picture has the width of `v7300 simulate --plot`.
    static constexpr int kExportWidth = 1200;

    struct TEntry {
        std::string Name;  // store name, "$OUT1__A1"
        std::string Label; // shown, "OUT1.A1"
    };
    // The horizontal scroll bar over the time, in units of UnitMs so that
    // every value fits an int.
    struct TScrollBar {
        int Maximum = 0;
        int Page = 1;
        int Step = 1;
        int Value = 0;
        std::int64_t UnitMs = 1;
    };

    explicit TTimingPlotSession(TTimeZone zone = {});

    // --- the chosen entries; a running recording takes them at once.
    // False when the entry is shown already.
    bool Add(const std::string& storeName, const std::string& label);
    bool Remove(const std::string& storeName);
    bool Contains(const std::string& storeName) const;
    std::vector<std::string> Names() const;
    std::vector<TEntry> Entries() const;
    // Called after an entry was added or removed (outside the lock), e.g. to
    // name the entries the simulation's idle skipping must watch. Set it once, before use.
    void SetOnEntriesChanged(std::function<void(const std::vector<std::string>& names)> onChanged);

    // --- the recording
    // A simulation starts at the simulated instant: a fresh recording of the
    // chosen entries; the view follows again.
    void Begin(std::int64_t startUtcMs, TTimeZone zone);
    // After every cycle (on the cycling thread). A clock set back starts a
    // fresh recording at the new instant.
    void Sample(std::int64_t simulatedUtcMs, const TSimulationState& store);
    // Grows with every sample, entry and view change: the window redraws when it differs.
    std::uint64_t Revision() const;
    // Recorded ms since the start.
    std::int64_t End() const;
    bool Truncated() const;

    // --- the view
    bool Following() const;
    // On: the right edge stays at the newest time. Off: the view stays where it is.
    void SetFollowing(bool on);
    bool ShowingAll() const;
    // "Alles": the whole recording, growing with it.
    void ShowAll();
    // Halve / double the shown span (1 s … 400 days); the right edge stays
    // while following, otherwise the middle.
    void ZoomIn();
    void ZoomOut();
    // The shown span now (the recording's length while "Alles").
    std::int64_t SpanMs() const;
    // Moves the view by ms (negative: back); reaching the end follows again.
    void ScrollBy(std::int64_t ms);
    // The scroll bar was moved to a value of ScrollBar().
    void ScrollTo(int value);
    TScrollBar ScrollBar() const;
    // The plot times at the edges for a picture of the width.
    TPlotView View(int width) const;

    // --- drawing and export, under the lock
    int Height() const;
    // The current view, width pixels wide.
    void Draw(Canvas& canvas, int width) const;
    // The whole recording, for the PNG export.
    void DrawWhole(Canvas& canvas, int width = kExportWidth) const;
    std::string Csv(char decimalSeparator) const;
    // The store name of the lane at y of the drawn picture.
    std::optional<std::string> NameAtY(int y) const;
    // The lane of an entry in the drawn picture: top and bottom (exclusive).
    std::optional<std::pair<int, int>> LaneOf(const std::string& storeName) const;

private:
    struct Window {
        std::int64_t From, To;
    };
    Window ViewLocked() const;
    TScrollBar ScrollBarLocked() const;
    void StartLocked(std::int64_t startUtcMs);
    void MoveToLocked(std::int64_t from);
    std::int64_t SpanLocked() const;

    void EntriesChanged();

    std::function<void(const std::vector<std::string>&)> onEntriesChanged_;
    mutable std::mutex mutex_;
    std::vector<TEntry> entries_;
    TTimeZone zone_;
    TTimingPlot plot_;
    std::int64_t startUtcMs_ = 0;
    bool begun_ = false;
    std::uint64_t revision_ = 0;
    bool follow_ = true;
    bool all_ = false;
    std::int64_t span_ = kDefaultSpanMs;
    std::int64_t from_ = 0; // left edge when not following
};

} // namespace v7300
