#include "StartupRules.h"

#include "shared/mdlPublic.h"

namespace launcher {

std::string CommandLineOf(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (!argv[i]) continue;
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

StartRequest StartRequestOf(std::string_view commandLine) {
    // ASCII upper-casing only: the switches are ASCII, and any other byte just
    // fails to match, so text of any length or encoding is safe here.
    char head[2] = {0, 0};
    for (std::size_t i = 0; i < 2 && i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        head[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    StartRequest request;
    if (head[0] != '/') return request;
    switch (head[1]) {
    case 'P':
    case 'A': request.endAtOnce = true; break;
    case 'C': request.startMode = mdlPublic::kStartSettings; break;
    case 'S': request.startMode = mdlPublic::kStartShow; break;
    default: break;
    }
    return request;
}

int ButtonAt(double x, double y) {
    struct Centre {
        int index;
        double x;
        double y;
    };
    static constexpr Centre kCentres[] = {
        {kButtonStart, 236, 184}, {kButtonList, 308, 184}, {kButtonExit, 380, 184}};
    const double r2 = double{kButtonRadius} * kButtonRadius;
    for (const Centre& c : kCentres) {
        const double dx = x - c.x;
        const double dy = y - c.y;
        if (dx * dx + dy * dy < r2) return c.index;
    }
    return kButtonNone;
}

Point ShowCursorCorner(int screenWidth, int screenHeight) {
    // The last pixel of the screen; the system clamps anything further anyway.
    return {screenWidth > 0 ? screenWidth - 1 : 0, screenHeight > 0 ? screenHeight - 1 : 0};
}

Point ShowCursorCentre(int screenWidth, int screenHeight) { return {screenWidth / 2, screenHeight / 2}; }

}  // namespace launcher
