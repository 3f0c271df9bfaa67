#pragma once
// The flags and answers of mdlMessage's boxes, without Qt: rules that word a
// failure choose its box with them.

namespace mdlMessage {

// Flags: one icon plus one button set, added (kQuestion + kOkCancel == 33).
// The values are the design's, so a flag sum kept in a rule table still reads.
enum Flags : int {
    kOkOnly = 0,
    kOkCancel = 1,
    kAbortRetryIgnore = 2,
    kYesNoCancel = 3,
    kYesNo = 4,
    kRetryCancel = 5,
    kCritical = 16,
    kQuestion = 32,
    kExclamation = 48,
    kInformation = 64,
};
enum Answer { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };

}  // namespace mdlMessage
