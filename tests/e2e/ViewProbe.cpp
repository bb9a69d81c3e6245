#include "e2e/ViewProbe.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "e2e/EdgeSteps.h"
#include "image/PixelOps.h"
#include "mainwindow/ViewMath.h"
#include "rotate/RotateBitmap.h"

namespace ocu::e2e::viewprobe {

namespace fs = std::filesystem;

std::tuple<int, int> PlainView::Source(int vx, int vy) const
{
    return {srcX + NearestSource(vx, viewWidth, srcWidth), srcY + NearestSource(vy, viewHeight, srcHeight)};
}

Rect PlainView::Marker() const
{
    const int size = static_cast<int>(zoom);
    return {TruncMul(cursorX - srcX, zoom), TruncMul(cursorY - srcY, zoom), size, size};
}

PlainView PredictPlainView(int viewWidth, int viewHeight, float zoom, int cursorX, int cursorY, const XSession& session)
{
    PlainView v;
    v.viewWidth = viewWidth;
    v.viewHeight = viewHeight;
    v.zoom = zoom;
    v.cursorX = cursorX;
    v.cursorY = cursorY;
    v.srcWidth = TruncDiv(viewWidth, zoom);
    v.srcHeight = TruncDiv(viewHeight, zoom);
    const IntPoint origin =
        SampleOrigin({cursorX, cursorY}, v.srcWidth, v.srcHeight, IntRect{0, 0, session.Width(), session.Height()});
    v.srcX = origin.X;
    v.srcY = origin.Y;
    return v;
}

Expected PlainPatternView(const PlainView& view, const XSession& session, const Rect& hidden, bool invert)
{
    const Rect desktop{0, 0, session.Width(), session.Height()};
    const Rect marker = view.Marker();
    return [=](int vx, int vy) -> std::optional<uint32_t> {
        const auto [sx, sy] = view.Source(vx, vy);
        if (!desktop.Contains(sx, sy) || hidden.Contains(sx, sy)) return std::nullopt;
        uint32_t c = XSession::PatternColor(sx, sy);
        if (invert) c ^= 0xFFFFFF;
        if (marker.Contains(vx, vy)) c ^= 0xFFFFFF;
        return c;
    };
}

Comparison CompareView(const Screenshot& shot, const Expected& expected)
{
    Comparison c;
    std::ostringstream samples;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const auto want = expected(x, y);
            if (!want) continue;
            ++c.compared;
            const uint32_t got = shot.At(x, y);
            if (got == (*want & 0xFFFFFF)) continue;
            if (++c.mismatched <= 6) {
                const auto [gx, gy] = XSession::DecodePattern(got);
                const auto [wx, wy] = XSession::DecodePattern(*want & 0xFFFFFF);
                samples << " (" << x << ',' << y << ") got " << std::hex << got << " [" << std::dec << gx << ',' << gy
                        << "] want " << std::hex << (*want & 0xFFFFFF) << " [" << std::dec << wx << ',' << wy << "];";
            }
        }
    c.firstMismatches = samples.str();
    return c;
}

std::ostream& operator<<(std::ostream& out, const Comparison& c)
{
    return out << c.mismatched << " of " << c.compared << " view pixels differ:" << c.firstMismatches;
}

namespace {

Screenshot Crop(const Screenshot& shot, int width, int height)
{
    Screenshot out{shot.x, shot.y, width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.pixels[static_cast<size_t>(y) * width + x] = shot.At(x, y);
    return out;
}

}  // namespace

std::optional<ViewLocation> LocateView(const XSession& session, XWindow window, float zoom, int cursorX, int cursorY,
                                       Milliseconds timeout, std::string* why, int viewTop, Edge edge)
{
    std::string seen;
    // The client area is asked for on every try: the window manager may still be placing the
    // window when the first answer comes.
    std::optional<ViewLocation> found;
    WaitFor(
        "a view below the tool bar that shows the area around the pointer",
        [&] {
            const auto client = ClientArea(session, window, edge);
            const auto outer = OuterBounds(session, window, edge);
            std::ostringstream last;
            last << "client " << (client ? *client : Rect{}) << (client ? "" : " (no answer)") << ", window "
                 << outer.value_or(Rect{});
            seen = last.str();
            if (!client || !outer || client->height <= viewTop) return false;
            if (!outer->Contains(client->x, client->y)) {
                seen += " (Wine has the window elsewhere than X: nudged)";
                session.NudgeWindow(window);
                return false;
            }
            Comparison best;
            const Screenshot below =
                session.Grab(client->x, client->y + viewTop, client->width, client->height - viewTop);
            // The largest view that matches: a smaller one can match too when it keeps the
            // same half height, but a larger one would take in the status bar.
            for (int statusBar = 0; statusBar < 60 && client->height - statusBar - viewTop > 0; ++statusBar) {
                const int height = client->height - statusBar - viewTop;
                const auto view = PredictPlainView(client->width, height, zoom, cursorX, cursorY, session);
                const Comparison c =
                    CompareView(Crop(below, client->width, height), PlainPatternView(view, session, *outer));
                if (c.Exact()) {
                    found = ViewLocation{*client, {client->x, client->y + viewTop, client->width, height}, *outer};
                    return true;
                }
                if (best.compared == 0 || c.mismatched * best.compared < best.mismatched * c.compared) best = c;
            }
            seen += "; closest view height: " + std::to_string(best.mismatched) + " of " +
                    std::to_string(best.compared) + " pixels differ:" + best.firstMismatches;
            return false;
        },
        timeout, 100ms);
    if (why) *why = seen;
    return found;
}

Comparison WaitForView(const XSession& session, const Rect& view, const Expected& expected, Milliseconds timeout,
                       Screenshot* last)
{
    Comparison result;
    Screenshot shot;
    WaitFor(
        "the view to show what is expected",
        [&] {
            shot = session.Grab(view.x, view.y, view.width, view.height);
            result = CompareView(shot, expected);
            return result.Exact();
        },
        timeout, 50ms);
    if (last) *last = std::move(shot);
    return result;
}

int WrongAreaPixels(const Screenshot& view, int left, int top, float zoom, std::string* first, Rect skip)
{
    const int srcW = TruncDiv(view.width, zoom), srcH = TruncDiv(view.height, zoom);
    int wrong = 0;
    for (int vy = 0; vy < view.height; vy += 3)
        for (int vx = 0; vx < view.width; vx += 3) {
            if (skip.Contains(vx, vy)) continue;
            const auto want =
                std::tuple(left + NearestSource(vx, view.width, srcW), top + NearestSource(vy, view.height, srcH));
            const auto got = XSession::DecodePattern(view.At(vx, vy));
            if (got != want && ++wrong <= 5 && first)
                *first += "(" + std::to_string(vx) + "," + std::to_string(vy) + ") shows root " +
                          std::to_string(std::get<0>(got)) + "," + std::to_string(std::get<1>(got)) + " not " +
                          std::to_string(std::get<0>(want)) + "," + std::to_string(std::get<1>(want)) + "; ";
        }
    return wrong;
}

bool ViewShowsArea(const XSession& session, const Rect& view, int left, int top, float zoom, std::string* why,
                   Rect skip)
{
    auto holds = [&] {
        why->clear();
        return WrongAreaPixels(session.Grab(view.x, view.y, view.width, view.height), left, top, zoom, why, skip) == 0;
    };
    return PollUntil(holds, 10s, 50ms) && StaysTrue(holds, 300ms, 50ms);
}

Image ToImage(const Screenshot& shot)
{
    Image image(shot.width, shot.height, PixelFormat::Bits32);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) image.SetPixel32(x, y, shot.At(x, y));
    return image;
}

Expected ExactImage(const Image& image)
{
    auto copy = std::make_shared<const Image>(image.Clone());
    return [copy](int vx, int vy) -> std::optional<uint32_t> {
        if (vx >= copy->Width() || vy >= copy->Height()) return std::nullopt;
        return copy->Pixel32(vx, vy) & 0xFFFFFF;
    };
}

Image SampledArea(const Screenshot& plainView, const PlainView& view)
{
    const Rect marker = view.Marker();
    Image area(view.srcWidth, view.srcHeight, PixelFormat::Bits32);
    for (int vy = 0; vy < view.viewHeight; ++vy)
        for (int vx = 0; vx < view.viewWidth; ++vx) {
            const uint32_t shown = plainView.At(vx, vy);
            area.SetPixel32(NearestSource(vx, view.viewWidth, view.srcWidth),
                            NearestSource(vy, view.viewHeight, view.srcHeight),
                            marker.Contains(vx, vy) ? shown ^ 0xFFFFFF : shown);
        }
    return area;
}

Image MirroredView(const Screenshot& plainView, const PlainView& view, bool topBottom)
{
    const Image mirrored = RotateBitmap(SampledArea(plainView, view), topBottom ? 1800 : 0, true, false);
    Image frame(view.viewWidth, view.viewHeight, PixelFormat::Bits32);
    StretchCopy(frame, view.viewWidth, view.viewHeight, mirrored, view.srcWidth, view.srcHeight);
    const Rect marker = view.Marker();
    InvertRect(frame, marker.x, marker.y, marker.width, marker.height);
    return frame;
}

fs::path SaveShot(const Screenshot& shot, const std::string& name)
{
    std::error_code ec;
    fs::path dir;
    if (const char* d = std::getenv("OCU_E2E_SHOTS"); d && *d) dir = d;
    else dir = fs::temp_directory_path(ec) / "ocu-e2e-shots";
    fs::create_directories(dir, ec);
    const fs::path ppm = dir / (name + ".ppm");
    const fs::path png = dir / (name + ".png");
    if (!shot.SavePpm(ppm)) return {};
    const std::string command = "convert '" + ppm.string() + "' '" + png.string() + "' 2>/dev/null";
    const bool converted = std::system(command.c_str()) == 0;
    if (converted) fs::remove(ppm, ec);
    return converted ? png : ppm;
}

std::optional<double> TitleZoom(const std::string& title)
{
    const std::string key = "倍率:";
    const auto at = title.find(key);
    if (at == std::string::npos) return std::nullopt;
    const char* start = title.c_str() + at + key.size();
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start) return std::nullopt;
    return value;
}

std::optional<std::string> IniValue(const std::string& ini, const std::string& section, const std::string& key)
{
    std::istringstream in(ini);
    std::string line, current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        const auto eq = line.find('=');
        if (current == section && eq != std::string::npos && line.substr(0, eq) == key) return line.substr(eq + 1);
    }
    return std::nullopt;
}

std::string RightSideIni(int capRateTenths, int runCount)
{
    const Rect b = kWindowBounds;
    std::ostringstream ini;
    ini << "[BoundsRect]\r\nLeft=" << b.x << "\r\nRight=" << b.x + b.width << "\r\nTop=" << b.y
        << "\r\nBottom=" << b.y + b.height << "\r\n[Zuri]\r\nCapRate=" << capRateTenths
        << "\r\nSamplingRate=100\r\nFixView=0\r\n[Setting]\r\nFirstRun=0\r\nRunCount=" << runCount << "\r\n";
    return ini.str();
}

void FocusMainWindow(XSession& session, const Rect& client, int restoreX, int restoreY, XWindow window, Edge edge)
{
    if (edge == Edge::Native) {
        // Asked of the window manager: a click's release can reach the program after the
        // pointer has moved on (openbox holds the pointer while it takes the click for the
        // focus), and a press on the client area with the pointer moving drags the window.
        EXPECT_TRUE(Activate(session, window)) << "the main window could not be activated";
        session.MovePointer(restoreX, restoreY);
        return;
    }
    session.MovePointer(client.x + client.width - 20, client.y + 8);
    session.Click(1);
    session.MovePointer(restoreX, restoreY);
}

void MagnifierE2E::SetUp()
{
    OcumiraE2E::SetUp();
    if (IsSkipped()) return;
    session_.emplace(SessionOptions());
    session_->PaintPattern();
}

bool MagnifierE2E::Start(int capRateTenths, std::optional<std::string> ini)
{
    session_->MovePointer(kRestX, kRestY);
    app_.emplace(*session_, ProgramOptions{.ini = ini ? *ini : RightSideIni(capRateTenths), .edge = TestedEdge()});
    window_ = session_->FindWindowByTitlePrefix(kTitlePrefix);
    if (window_ == 0) {
        ADD_FAILURE() << "the main window did not appear";
        return false;
    }
    std::string why;
    const auto where =
        LocateView(*session_, window_, static_cast<float>(capRateTenths) / 10.0f, kRestX, kRestY, 30s, &why, kViewTop,
                   TestedEdge());
    if (!where) {
        ADD_FAILURE() << "no view below the tool bar shows the area around the pointer; last seen: " << why;
        return false;
    }
    where_ = *where;
    FocusMainWindow(*session_, where_.client, kRestX, kRestY, window_, TestedEdge());
    return true;
}

PlainView MagnifierE2E::Plain(float zoom, int cursorX, int cursorY) const
{
    return PredictPlainView(where_.view.width, where_.view.height, zoom, cursorX, cursorY, *session_);
}

Expected MagnifierE2E::PlainPattern(const PlainView& plain, bool invert) const
{
    return PlainPatternView(plain, *session_, where_.window, invert);
}

}  // namespace ocu::e2e::viewprobe
