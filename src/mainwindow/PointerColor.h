#pragma once
// The colour under the pointer: read from each tick's capture, shown in the readout
// beside the hint line, and kept for the copy command.
#include <cstdint>
#include <optional>
#include <string>

#include "base/Geometry.h"
#include "image/Image.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/WindowPort.h"
#include "mainwindow/ports/WindowTextPort.h"
#include "pipeline/FramePipeline.h"

namespace ocu {

class TIniManager;

// "#RRGGBB" or "R,G,B" of a colour 0x00RRGGBB.
std::string ColorText(std::uint32_t rgb, bool hex);

class PointerReadout {
public:
    PointerReadout(const ViewState& state, WindowPort& window, WindowTextPort& texts, const TIniManager& settings)
        : s_(state), window_(window), texts_(texts), ini_(settings) {}

    // Reads the colour from the tick's capture, before the layer is merged into it.
    void Read(const Image& capture, const RenderParams& frame, bool pointerOnWindow);
    // Shows the reading in the form the settings ask for; `panelIsNew` gives it to a
    // panel just shown even when the text is the one last shown.
    void Show(bool panelIsNew = false);
    // The reading as the copy command puts it on the clipboard; empty with none.
    std::string Text() const;
    // A menu of the window (its bar or a shortcut menu) opens or closes.
    void OnMenuLoop(bool open) { menuLoop_ = open; }

private:
    // The view point under the pointer when the view is pinned and the pointer is on it.
    std::optional<IntPoint> PointerViewPoint(const RenderParams& frame);
    // The screen pixel the readout reads for a pointer at the frame's cursor; nullopt
    // where the view shows no screen pixel.
    std::optional<IntPoint> PointerScreenPixel(const RenderParams& frame);

    const ViewState& s_;
    WindowPort& window_;
    WindowTextPort& texts_;
    const TIniManager& ini_;
    std::optional<std::uint32_t> color_;  // 0x00RRGGBB under the pointer
    std::string shownText_;
    bool shown_ = false;
    bool menuLoop_ = false;
};

}  // namespace ocu
