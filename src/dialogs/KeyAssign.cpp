#include "KeyAssign.h"

namespace keyassign {

std::string ChrKeyCord(int code) {
    switch (code) {
    case 1: return "マウスの左ボタン";
    case 2: return "マウスの右ボタン";
    case 3: return "Cancel";
    case 4: return "マウスの中央ボタン";
    case 8: return "BackSpace";
    case 9: return "Tab";
    case 12: return "Clear";
    case 13: return "Enter";
    case 16: return "Shift";
    case 17: return "Ctrl";
    case 18: return "Menu";
    case 19: return "Pause";
    case 20: return "CapsLock";
    case 27: return "Esc";
    case 32: return "Space";
    case 33: return "PageUp";
    case 34: return "PageDown";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "←";
    case 38: return "↑";
    case 39: return "→";
    case 40: return "↓";
    case 41: return "Select";
    case 42: return "PrintScreen";
    case 43: return "Execute";
    case 44: return "Snapshot";
    case 45: return "Ins";
    case 46: return "Del";
    case 47: return "Help";
    case 106: return "*";
    case 107: return "+";
    case 108: return "Enter";
    case 109: return "-";
    case 110: return ".";
    case 111: return "/";
    case 144: return "NumLock";
    default: break;
    }
    if ((code >= 48 && code <= 57) || (code >= 65 && code <= 90)) return std::string(1, static_cast<char>(code));
    if (code >= 96 && code <= 105) return std::string(1, static_cast<char>('0' + code - 96));
    if (code >= 112 && code <= 127) return "F" + std::to_string(code - 111);
    return {};
}

Verdict assign(Codes& pending, int index, int code) {
    if (code == 112 || code == 113 || code == 27) return Verdict::Reserved;
    for (int i = 0; i < 4; ++i) {
        if (i != index && pending[static_cast<std::size_t>(i)] == code) return Verdict::Duplicate;
    }
    if (index < 0 || index > 3) return Verdict::Reserved;
    pending[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(code);
    return Verdict::Accepted;
}

}  // namespace keyassign
