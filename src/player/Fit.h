#pragma once
// Where a picture or a movie goes inside the player's frame. Plain arithmetic,
// pixels in and out.

namespace player {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// Scales a w x h picture by the smaller of W/w and H/h (small pictures are
// enlarged) and centres it in a W x H frame. A picture without a size fills
// the frame, so nothing divides by zero.
Rect fitImage(int frameWidth, int frameHeight, int width, int height);

// The movie element's place for a w x h video: the same fit. Without a
// natural size (audio only, or not known yet) the element fills the frame.
Rect fitMovie(int frameWidth, int frameHeight, int width, int height);

// The player window inside `screen`: with a fixed size (both positive) a
// window of that size centred on the screen, cut to the screen so a huge
// stored size never asks for a huge window; otherwise the screen itself.
Rect playerWindow(const Rect& screen, int fixedWidth, int fixedHeight);

}  // namespace player
