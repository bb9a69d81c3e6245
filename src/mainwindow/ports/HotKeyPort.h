#pragma once
// System-wide hot keys, delivered to the main window while they are registered.
namespace ocu {

class HotKeyPort {
public:
    virtual ~HotKeyPort() = default;

    virtual bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) = 0;
    virtual void UnregisterHotKey(int id) = 0;
};

}  // namespace ocu
