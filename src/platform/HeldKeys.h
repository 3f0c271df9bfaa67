#pragma once
// Which keys are down, as one window saw them. X11 repeats a held key, and a
// window may receive the release of a key that was pressed while another
// window had the keyboard (the Esc that closed a dialog, the Enter on a
// message box's OK). Only the first press of a key and the release of a key
// seen pressed count. Plain C++; keys are whatever number names a physical
// key to the caller.

#include <set>

namespace platform {

class HeldKeys {
public:
    // True for the first press of a key that is not down yet.
    bool press(int key) { return m_down.insert(key).second; }
    // True when the key was seen pressed; it is up afterwards.
    bool release(int key) { return m_down.erase(key) > 0; }
    // The window lost the keyboard: what is held now was pressed elsewhere.
    void clear() { m_down.clear(); }

private:
    std::set<int> m_down;
};

}  // namespace platform
