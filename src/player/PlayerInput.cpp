#include "PlayerInput.h"

#include "platform/KeyCodes.h"

#include <cstdlib>

namespace player {

KeyDecision keyReleaseRow(int key, const mdlPublic::KeyTable& keys) {
    if (key == keycodes::kVkF1) return {KeyRow::HelpFile, -1};
    if (key == keycodes::kVkF2) return {KeyRow::Help, -1};
    if (key == keys.left) return {KeyRow::Action, kPrevious};
    if (key == keys.right) return {KeyRow::Action, kNext};
    if (key == keys.up) return {KeyRow::Action, kPause};
    if (key == keys.down) return {KeyRow::Action, kRewind};
    if (key == keycodes::kVkEscape) return {KeyRow::Action, kEnd};
    return {};
}

bool keyPressEndsShow(int startMode, int key, int shift) {
    if (startMode != mdlPublic::kStartNormal) return true;
    return key == keycodes::kVkF4 && shift == keycodes::kAltBit;
}

bool staysOnTop(int startMode, bool active) { return active || startMode != mdlPublic::kStartNormal; }

int clickAction(int button, int shift, int lastClickAction) {
    if (shift == keycodes::kCtrlBit) return kEnd;
    if (shift == keycodes::kShiftBit || button == kButtonMiddle) return kPause;
    if (button == kButtonLeft) return kNext;
    if (button == kButtonRight) return kPrevious;
    return lastClickAction;
}

std::vector<int> dragActions(Point press, Point cursor) {
    std::vector<int> actions;
    if (std::abs(cursor.x - press.x) > kDragDistance) {
        actions.push_back(cursor.x < press.x ? kSeekBack : kSeekForward);
    }
    if (std::abs(cursor.y - press.y) > kDragDistance) {
        actions.push_back(cursor.y < press.y ? kVolumeUp : kVolumeDown);
    }
    return actions;
}

}  // namespace player
