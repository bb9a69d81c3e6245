#pragma once
// Modal questions and messages the view puts to the person.
#include <optional>
#include <string>

namespace ocu {

class DialogPort {
public:
    virtual ~DialogPort() = default;

    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // One-line input box; nullopt when cancelled.
    virtual std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                                const std::string& initial) = 0;
    // One of this program's modal boxes (a message, an input box, a dialog) is open.
    virtual bool ModalBoxOpen() = 0;
};

}  // namespace ocu
