#pragma once
// The programs need X11 (the launcher's shape, cursor placement, stay-on-top,
// window placement): in a Wayland session they run through Xwayland unless
// the user chose a platform. Plain C++.

#include <cstdlib>
#include <string_view>

namespace platform {

// Whether to ask Qt for the xcb platform: the user chose none
// (QT_QPA_PLATFORM empty) and an X server is there (DISPLAY, which a Wayland
// session sets for its Xwayland). Without one Qt keeps its own choice.
inline bool prefersXcb(const char* qpaPlatform, const char* display) {
    return std::string_view(qpaPlatform ? qpaPlatform : "").empty() &&
           !std::string_view(display ? display : "").empty();
}

// Sets QT_QPA_PLATFORM=xcb before the application object is made, where
// prefersXcb says so; true when it did. Unset it again once the object is
// made, so programs started from here (the help viewer) choose for themselves.
inline bool preferXcb() {
    if (!prefersXcb(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"))) return false;
    return setenv("QT_QPA_PLATFORM", "xcb", 1) == 0;
}

}  // namespace platform
