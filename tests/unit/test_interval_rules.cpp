// The interval box: the key filter and the exchange of text, value and slider.
#include "editor/IntervalRules.h"

#include <gtest/gtest.h>

using namespace editor;

TEST(IntervalKeys, DigitsUpToTwoBackspaceAndFullStop) {
    struct Row {
        const char* text;
        int start, length;
        char c;
        bool accepted;
    } rows[] = {
        {"", 0, 0, '7', true},   {"5", 1, 0, '7', true},  {"57", 2, 0, '1', false},  // a third digit
        {"57", 0, 2, '1', true},                                                     // replaces the selection
        {"57", 1, 1, '1', true}, {"57", 0, 0, 'a', false}, {"5", 1, 0, '.', true},   {"57", 2, 0, '.', true},
        {"5", 1, 0, '\b', true}, {"5", 1, 0, '-', false}, {"5", 1, 0, ' ', false},  {"5", 1, 0, ',', false},
        {"57", 9, 4, '1', false},  // positions past the end are held to the text
    };
    for (const Row& r : rows)
        EXPECT_EQ(intervalKeyAccepted(QString::fromLatin1(r.text), r.start, r.length, QChar(r.c)), r.accepted)
            << r.text << " " << r.start << "/" << r.length << " '" << r.c << "'";
}

TEST(IntervalText, ValueSliderAndReplacement) {
    struct Row {
        const char* text;
        const char* replace;  // nullptr: kept
        int value;
    } rows[] = {
        {"7", nullptr, 7},   {"07", nullptr, 7},  {"5.", nullptr, 5},  {"99", nullptr, 99}, {"0", nullptr, 0},
        {"", "0", 0},        {".", "0", 0},       {"abc", "0", 0},    {"2.5", nullptr, 2},  // halves to even
        {"150", "99", 0},    {"-3", "0", 0},      {"99999999", "99", 0}, {"1e3", "0", 0},
    };
    for (const Row& r : rows) {
        const IntervalChange c = intervalTextChanged(QString::fromLatin1(r.text));
        if (r.replace) {
            ASSERT_TRUE(c.replaceText) << r.text;
            EXPECT_EQ(*c.replaceText, QString::fromLatin1(r.replace)) << r.text;
            // The replacement itself is kept as it is.
            EXPECT_FALSE(intervalTextChanged(*c.replaceText).replaceText) << r.text;
        } else {
            EXPECT_FALSE(c.replaceText) << r.text;
            EXPECT_EQ(c.value, r.value) << r.text;
            EXPECT_EQ(c.slider, r.value) << r.text;
        }
    }
}
