#include "simulation/TimingPlotRenderer.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

namespace v7300 {

namespace {

constexpr int kRight = 12;

struct Mapping {
    std::int64_t from, to;
    int x0, x1;
    int x(std::int64_t t) const {
        const double f = static_cast<double>(t - from) / static_cast<double>(std::max<std::int64_t>(1, to - from));
        return x0 + static_cast<int>(std::lround(std::clamp(f, 0.0, 1.0) * (x1 - x0)));
    }
};

// Consecutive points in one pixel column reduced to first, lowest, highest, last.
std::vector<TCanvasPoint> thin(const std::vector<TCanvasPoint>& in) {
    std::vector<TCanvasPoint> out;
    for (std::size_t i = 0; i < in.size();) {
        std::size_t j = i;
        int lo = in[i].Y, hi = in[i].Y;
        while (j + 1 < in.size() && in[j + 1].X == in[i].X) {
            ++j;
            lo = std::min(lo, in[j].Y);
            hi = std::max(hi, in[j].Y);
        }
        out.push_back(in[i]);
        if (j > i) {
            out.push_back({in[i].X, lo});
            out.push_back({in[i].X, hi});
            out.push_back(in[j]);
        }
        i = j + 1;
    }
    return out;
}

// The trace's level changes inside the view as a step line; y maps a value.
template <typename YOf>
std::vector<TCanvasPoint> stepLine(const TTimingPlot& plot, std::size_t trace, const Mapping& m, YOf yOf) {
    std::vector<TCanvasPoint> pts;
    std::optional<int> y = yOf(plot.ValueAt(trace, m.from));
    int x = m.x0;
    auto flush = [&](int toX) {
        if (y) {
            pts.push_back({x, *y});
            pts.push_back({toX, *y});
        }
    };
    for (const TPlotChange& c : plot.Changes()) {
        if (c.trace != trace || c.t <= m.from) continue;
        if (c.t > m.to) break;
        const int cx = m.x(c.t);
        flush(cx);
        x = cx;
        y = yOf(c.value);
    }
    flush(m.x(std::min(m.to, plot.End())));
    return thin(pts);
}

// A wide pen's long polyline that runs over itself (a dense trace seen whole)
// is filled as one polygon, which costs far more than its length; short pieces
// sharing their end points look the same.
void polylineInPieces(Canvas& c, const std::vector<TCanvasPoint>& pts) {
    constexpr std::size_t kPiece = 64;
    for (std::size_t i = 0; i + 1 < pts.size(); i += kPiece) {
        const std::size_t end = std::min(pts.size(), i + kPiece + 1);
        c.Polyline(std::vector<TCanvasPoint>(pts.begin() + static_cast<long>(i), pts.begin() + static_cast<long>(end)));
    }
}

std::int64_t tickStep(std::int64_t span, int pixels) {
    static const std::int64_t steps[] = {1000,    2000,    5000,     10000,    15000,    30000,    60000,
                                         120000,  300000,  600000,   900000,   1800000,  3600000,  7200000,
                                         10800000, 21600000, 43200000, 86400000, 172800000, 604800000};
    for (std::int64_t s : steps)
        if (static_cast<double>(s) / static_cast<double>(std::max<std::int64_t>(1, span)) * pixels >= 90) return s;
    return steps[std::size(steps) - 1] * (1 + span / (steps[std::size(steps) - 1] * 8));
}

void drawAxis(Canvas& c, const TTimingPlot& plot, const Mapping& m, int top, int bottom) {
    const std::int64_t step = tickStep(m.to - m.from, m.x1 - m.x0);
    const DateTime start = plot.LocalAt(m.from);
    const std::int64_t localFrom = start.toEpochMs();
    const std::int64_t first = (localFrom + step - 1) / step * step;
    c.SetPen({PlotColors::Grid, 1, true});
    for (std::int64_t l = first; l - localFrom <= m.to - m.from; l += step) {
        const std::int64_t t = m.from + (l - localFrom);
        const int x = m.x(t);
        c.MoveTo(x, top);
        c.LineTo(x, bottom + 4);
        const DateTime d = plot.LocalAt(t);
        char label[32];
        if (step >= 86400000) std::snprintf(label, sizeof label, "%02d.%02d.", d.day, d.month);
        else if (step >= 60000) std::snprintf(label, sizeof label, "%02d:%02d", d.hour, d.minute);
        else std::snprintf(label, sizeof label, "%02d:%02d:%02d", d.hour, d.minute, d.second);
        const TTextSize size = c.TextExtent(TCanvasFont::Name, label);
        c.TextOut(std::min(x - size.Width / 2, m.x1 - size.Width), bottom + 8, label, TCanvasFont::Name, PlotColors::Text);
    }
    char head[64];
    std::snprintf(head, sizeof head, "ab %02d.%02d.%04d %02d:%02d:%02d", start.day, start.month, start.year % 10000,
                  start.hour, start.minute, start.second);
    c.TextOut(8, bottom + 8, head, TCanvasFont::Name, PlotColors::Scale);
}

} // namespace

int TTimingPlotRenderer::LaneHeight(const TTimingPlot& plot, std::size_t trace) {
    return plot.Digital(trace) ? kDigitalLane : kNumberLane;
}

std::optional<std::size_t> TTimingPlotRenderer::LaneAt(const TTimingPlot& plot, int y) {
    int top = kTop;
    for (std::size_t i = 0; i < plot.Names().size(); ++i) {
        const int bottom = top + LaneHeight(plot, i);
        if (y >= top && y < bottom) return i;
        top = bottom;
    }
    return std::nullopt;
}

int TTimingPlotRenderer::Height(const TTimingPlot& plot) {
    int h = kTop + kAxis;
    for (std::size_t i = 0; i < plot.Names().size(); ++i) h += plot.Digital(i) ? kDigitalLane : kNumberLane;
    return h;
}

void TTimingPlotRenderer::Draw(Canvas& c, const TTimingPlot& plot, TPlotView view) {
    const int width = std::max(view.Width, kNameWidth + 100);
    const int height = Height(plot);
    c.SetSize(width, height);
    c.Fill(PlotColors::Background);
    const std::int64_t to = view.To > view.From ? view.To : std::max(plot.End(), view.From + 1000);
    const Mapping m{view.From, to, kNameWidth, width - kRight};
    const char sep = decimalSeparator();

    c.TextOut(8, 4, "Zeitverlauf", TCanvasFont::NameBold, PlotColors::Text);
    int y = kTop;
    for (std::size_t i = 0; i < plot.Names().size(); ++i) {
        const bool digital = plot.Digital(i);
        const int lane = digital ? kDigitalLane : kNumberLane;
        c.FillRect(0, y, width, y + 1, PlotColors::Lane);
        c.TextOut(8, y + 6, plot.Labels()[i], TCanvasFont::Name, PlotColors::Text);
        std::vector<TCanvasPoint> pts;
        if (digital) {
            const int high = y + 7, low = y + lane - 8;
            pts = stepLine(plot, i, m, [&](const std::string& v) -> std::optional<int> {
                if (v.empty()) return std::nullopt; // before a trace added later begins
                return v == "1" ? high : low;
            });
        } else {
            double lo = std::numeric_limits<double>::infinity(), hi = -lo;
            auto consider = [&](const std::string& v) {
                if (const auto d = parseDouble(v, sep)) lo = std::min(lo, *d), hi = std::max(hi, *d);
            };
            consider(plot.ValueAt(i, m.from));
            for (const TPlotChange& ch : plot.Changes())
                if (ch.trace == i && ch.t > m.from && ch.t <= m.to) consider(ch.value);
            if (lo > hi) lo = hi = 0;
            if (lo == hi) lo -= 1, hi += 1;
            const int top = y + 10, bottom = y + lane - 10;
            pts = stepLine(plot, i, m, [&](const std::string& v) -> std::optional<int> {
                const auto d = parseDouble(v, sep);
                if (!d) return std::nullopt;
                return bottom - static_cast<int>(std::lround((*d - lo) / (hi - lo) * (bottom - top)));
            });
            c.TextOut(8, y + 22, formatGeneral(hi, sep), TCanvasFont::Name, PlotColors::Scale);
            c.TextOut(8, y + lane - 22, formatGeneral(lo, sep), TCanvasFont::Name, PlotColors::Scale);
        }
        c.SetPen({PlotColors::Trace, 2, false});
        polylineInPieces(c, pts);
        y += lane;
    }
    c.FillRect(0, y, width, y + 1, PlotColors::Lane);
    drawAxis(c, plot, m, kTop, y);
    c.Flush();
}

} // namespace v7300
