#include "StartupRules.h"

#include "shared/Twips.h"
#include "shared/mdlPublic.h"

#include <algorithm>
#include <cmath>

namespace launcher {

std::string commandLineOf(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (!argv[i]) continue;
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

StartRequest startRequestOf(std::string_view commandLine) {
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

namespace {
bool isHostRoot(const std::string& arg) { return arg == "-root" || arg == "--root"; }
bool isHostWindow(const std::string& arg) { return arg == "-window-id" || arg == "--window-id"; }

// Printable and short, so a hostile value cannot flood or garble the terminal.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < 64; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    if (text.size() > 64) out += "...";
    return out + "\"";
}

StartRequest hostRequest(std::optional<std::uint32_t> window, const std::string& refusal) {
    StartRequest request;
    if (!window) {
        request.refusal = refusal;
        return request;
    }
    request.startMode = mdlPublic::kStartShow;
    request.inHost = true;
    request.hostWindow = *window;
    return request;
}
}  // namespace

std::optional<std::uint32_t> windowIdOf(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    if (value == 0 || value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

StartRequest startRequestOf(const std::vector<std::string>& args, const char* xscreensaverWindow) {
    if (args.empty()) return StartRequest{};
    const std::string& first = args.front();
    if (isHostRoot(first)) {
        if (!xscreensaverWindow || !*xscreensaverWindow) return hostRequest(0u, {});
        return hostRequest(windowIdOf(xscreensaverWindow),
                           "XSCREENSAVER_WINDOW is not a window number: " + quoted(xscreensaverWindow));
    }
    if (isHostWindow(first)) {
        if (args.size() < 2) return hostRequest(std::nullopt, first + " needs a window number");
        return hostRequest(windowIdOf(args[1]), first + " needs a window number, not " + quoted(args[1]));
    }
    constexpr std::string_view kJoined = "--window-id=";
    if (std::string_view(first).substr(0, kJoined.size()) == kJoined) {
        const std::string_view value = std::string_view(first).substr(kJoined.size());
        return hostRequest(windowIdOf(value), "--window-id needs a window number, not " + quoted(value));
    }
    std::vector<const char*> argv{"vistrova"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    return startRequestOf(commandLineOf(static_cast<int>(argv.size()), argv.data()));
}

int buttonAt(double x, double y, double perPixelX, double perPixelY) {
    struct Centre {
        int index;
        double x;
        double y;
    };
    static constexpr Centre kCentres[] = {
        {kButtonStart, 236, 184}, {kButtonList, 308, 184}, {kButtonExit, 380, 184}};
    // Squared on both sides: the radius's square root never has to be taken.
    const double r2 = double{kButtonRadius} * kButtonRadius * perPixelX * perPixelY;
    for (const Centre& c : kCentres) {
        const double dx = x - c.x * perPixelX;
        const double dy = y - c.y * perPixelY;
        if (dx * dx + dy * dy < r2) return c.index;
    }
    return kButtonNone;
}

int buttonAtPixel(double x, double y, double dpiX, double dpiY) {
    const double perX = std::max(1.0, std::round(twips::perPixel(dpiX)));
    const double perY = std::max(1.0, std::round(twips::perPixel(dpiY)));
    return buttonAt(x * perX, y * perY, perX, perY);
}

Point showCursorCorner(int screenWidth, int screenHeight) {
    // The last pixel of the screen; the system clamps anything further anyway.
    return {screenWidth > 0 ? screenWidth - 1 : 0, screenHeight > 0 ? screenHeight - 1 : 0};
}

Point showCursorCentre(int screenWidth, int screenHeight) { return {screenWidth / 2, screenHeight / 2}; }

}  // namespace launcher
