#pragma once
// The texts the main window shows: its title, the status panels and the colour readout.
#include <cstdint>
#include <optional>
#include <string>

namespace ocu {

class WindowTextPort {
public:
    virtual ~WindowTextPort() = default;

    virtual void SetTitle(const std::string& utf8) = 0;
    virtual void SetStatusText(int panel, const std::string& utf8) = 0;
    // The colour under the pointer: a small square of it (0x00RRGGBB; none when empty) and its text.
    virtual void SetColorReadout(const std::optional<std::uint32_t>& rgb, const std::string& utf8) = 0;
    // Gives the readout its panel right of the hint, or takes it away (the hint alone, the default).
    virtual void ShowColorReadout(bool shown) = 0;
};

}  // namespace ocu
