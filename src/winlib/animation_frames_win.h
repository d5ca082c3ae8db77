#pragma once
// An embedded animated GIF as the program shows it: every frame decoded once, scaled down to fit the
// area it is shown in (never up), laid on the colour around it, and kept for the program's life in the
// screen's own format, so that showing a frame is one copy. The frames are kept at the picture's size,
// not the area's: the margin around the picture is painted once, not with every frame.
#include <windows.h>

#include <memory>
#include <vector>

#include "winlib/unique_win.h"

namespace relinka {

struct AnimationFacts {
    unsigned width = 0, height = 0;
    std::vector<unsigned> delays_ms;  // one per frame
    unsigned loop_count = 0;          // 0: without end
};

class AnimationFrames {
public:
    // The frames of embedded animation `resource` (of type RT_GIF_ANIMATION) in an area of `area` on
    // `background`, made at the first asking and the same ones after; asked at another size or on
    // another colour, they are made again and replace the old. Null, with a trace line, when the picture
    // cannot be decoded or its frames cannot be held.
    [[nodiscard]] static std::shared_ptr<const AnimationFrames> of(int resource, SIZE area,
                                                                   COLORREF background);

    const AnimationFacts& facts() const { return facts_; }
    size_t count() const { return facts_.delays_ms.size(); }
    // The picture as shown, and where it stands in the area (centred).
    SIZE frame_size() const { return frame_size_; }
    POINT frame_origin() const { return frame_origin_; }
    // The whole area in `dc`, from its top-left corner: the margin in the colour around the picture, and
    // frame `frame` in its place.
    void show(HDC dc, size_t frame) const;
    // Frame `frame` alone, in its place: the margin already shown stays.
    void copy_frame(HDC dc, size_t frame) const;

private:
    AnimationFrames(int resource, SIZE area, COLORREF background, AnimationFacts facts, const RECT& place,
                    UniqueBitmap strip, UniqueMemoryDc strip_dc);

    int resource_;
    SIZE area_;
    COLORREF background_;
    AnimationFacts facts_;
    SIZE frame_size_;
    POINT frame_origin_;
    UniqueBitmap strip_;       // the frames one under another, compatible with the screen
    UniqueMemoryDc strip_dc_;  // holds the strip, selected for good, to copy frames from
};

}  // namespace relinka
