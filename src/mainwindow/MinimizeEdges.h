#pragma once
// The window's size changes seen as the view wants them: it stops capturing when the
// window is minimised and starts again when it comes back, once each, however many
// size changes the system reports in between.
namespace ocu {

class MinimizeEdges {
public:
    enum class Edge { None, Minimized, Restored };
    // The window's size changed; `minimized` whether it is minimised now.
    Edge Sized(bool minimized) {
        if (minimized == minimized_) return Edge::None;
        minimized_ = minimized;
        return minimized ? Edge::Minimized : Edge::Restored;
    }

private:
    bool minimized_ = false;
};

}  // namespace ocu
