#pragma once
// The keys of the settings file VISTROVA.INI, one declaration each: its name,
// the type its value is read and written as, the range a number read from it
// must lie in to be used, and what a missing or unusable value stands for.
// Code names a key only through these declarations.

#include <cstdint>
#include <limits>
#include <string_view>

namespace settings {

inline constexpr std::string_view kSection = "VISTROVA";

inline constexpr std::int64_t kInt16Min = std::numeric_limits<std::int16_t>::min();
inline constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();
inline constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// The value types a key can have:
//   std::int16_t, std::int32_t  whole number, stored as decimal text;
//   double                      twips: read as a 32-bit whole number, stored as
//                               the text of a single-precision number;
//   bool                        shown ("1") or hidden ("0"); only a number
//                               that converts to 0 reads as hidden;
//   std::string_view            text, read as stored.
template <typename T>
struct Range {
    static constexpr std::int64_t min = kInt16Min, max = kInt16Max;
};
template <>
struct Range<std::int32_t> {
    static constexpr std::int64_t min = kInt32Min, max = kInt32Max;
};
template <>
struct Range<double> {
    static constexpr std::int64_t min = kInt32Min, max = kInt32Max;
};

template <typename T>
struct Key {
    std::string_view name;
    T fallback{};  // the designed value, where the reader has one to fall back on
    std::int64_t min = Range<T>::min;
    std::int64_t max = Range<T>::max;
};

// The show settings, read once at start-up.
inline constexpr Key<std::string_view> kSize{"SIZE"};  // "ON" exactly: the fixed-size window
inline constexpr Key<std::int32_t> kHSize{"HSIZE", 0, 1, kInt32Max};
inline constexpr Key<std::int32_t> kWSize{"WSIZE", 0, 1, kInt32Max};
inline constexpr Key<std::int16_t> kInterval{"INTERVAL", 10, 0, kInt16Max};  // 0: no automatic advance
inline constexpr Key<std::int16_t> kUnit{"UNIT", 0, 0, 1};                   // 0 seconds, 1 minutes
inline constexpr Key<std::int16_t> kFileNum{"FILENUM", 0, 0, 9};
inline constexpr Key<std::int16_t> kPageNum{"PAGENUM", 0, 0, 9};
inline constexpr Key<std::int32_t> kBackColor{"BACKCOLOR", 0};  // 0x00BBGGRR
// Windows virtual-key codes of previous, next, pause and rewind.
inline constexpr Key<std::int16_t> kMyKeyLeft{"MyKeyLeft", 117};    // F6
inline constexpr Key<std::int16_t> kMyKeyRight{"MyKeyRight", 119};  // F8
inline constexpr Key<std::int16_t> kMyKeyUp{"MyKeyUp", 116};        // F5
inline constexpr Key<std::int16_t> kMyKeyDown{"MyKeyDown", 118};    // F7

// The editor's view; geometry has no fallback: the window keeps its designed place.
inline constexpr Key<std::int16_t> kPattern{"PATTERN", 2, 0, 2};
inline constexpr Key<std::int16_t> kViewMode{"ViewMode", 3, 0, 3};
inline constexpr Key<std::string_view> kDefPath{"DEFPATH"};
inline constexpr Key<double> kMainLeft{"MainLeft"};
inline constexpr Key<double> kMainTop{"MainTop"};
inline constexpr Key<double> kMainWidth{"MainWidth"};
inline constexpr Key<double> kMainHeight{"MainHeight"};
inline constexpr Key<std::string_view> kWindowState{"WindowState"};  // written 0, 1, 2; "2..." is maximised
inline constexpr Key<double> kBar1{"Bar1"};
inline constexpr Key<double> kBar2{"Bar2"};
inline constexpr Key<double> kBar3{"Bar3"};
inline constexpr Key<double> kHead1{"Head1"};
inline constexpr Key<double> kHead2{"Head2"};
inline constexpr Key<double> kHead3{"Head3"};
inline constexpr Key<std::int16_t> kSortKey{"SortKey", 0, 0, 2};  // the file view has three columns
inline constexpr Key<std::int16_t> kSortOrder{"SortOrder", 0, 0, 1};
inline constexpr Key<bool> kToolBar{"ToolBar", true};
inline constexpr Key<bool> kCustomBar{"CustomBar", true};
inline constexpr Key<bool> kStatusBar{"StatusBar", true};
inline constexpr Key<bool> kPreview{"Preview", true};

}  // namespace settings
