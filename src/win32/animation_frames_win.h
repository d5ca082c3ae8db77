#pragma once
// An embedded animated GIF as the program shows it: every frame decoded once, fitted into the area it is
// shown in, laid on the colour around it and kept for the program's life, so that showing a frame is
// only a copy.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace relinka {

// GDI+, started at its first use and shut down when the program ends. Nothing of GDI+ is kept between
// decodings.
void start_gdiplus();

struct AnimationFacts {
    unsigned width = 0, height = 0;
    std::vector<unsigned> delays_ms;  // one per frame
    unsigned loop_count = 0;          // 0: without end
    bool is_gif89a = false;
};
// What an embedded animation holds, as the player reads it.
AnimationFacts read_animation(int resource);

class AnimationFrames {
public:
    // The frames of embedded animation `resource` in an area of `size` on `background`, decoded at the
    // first asking and the same ones after; asked at another size or on another colour, they are made
    // again and replace the old. Null when the picture cannot be decoded; throws std::bad_alloc when its
    // frames do not fit in memory.
    static std::shared_ptr<const AnimationFrames> of(int resource, SIZE size, COLORREF background);

    const AnimationFacts& facts() const { return facts_; }
    size_t count() const { return facts_.delays_ms.size(); }
    // Copies frame `frame` to the top-left corner of `dc`.
    void show(HDC dc, size_t frame) const;

private:
    AnimationFrames(int resource, SIZE size, COLORREF background, AnimationFacts facts);

    int resource_;
    SIZE size_;
    COLORREF background_;
    AnimationFacts facts_;
    BITMAPINFO format_{};                // of one frame
    std::vector<std::uint32_t> pixels_;  // the frames one after another, in that format
};

}  // namespace relinka
