// The memory the animations' frames hold at 96, 144, 192 and 288 dots per inch: every animation of the
// main window and of About made, as its control makes them, for the area its window's table gives it at
// that resolution; beside it what frames the size of the whole area would hold. Counted at 32 bits a
// pixel. Prints figures; nothing passes or fails.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/amigos_layout.h"
#include "win32/animation_frames_win.h"
#include "win32/twips_win.h"
#include "windows/sobre_auto_win.h"

using namespace relinka;

int wmain() {
    struct Animation {
        const char* window;
        const ControlSpec* design;
    };
    std::vector<Animation> animations;
    for (const ControlSpec& design : kAmigosControls)
        if (design.kind == ControlKind::Animation) animations.push_back({"amigos", &design});
    for (const ControlSpec& design : kSobreAutoControls)
        if (design.kind == ControlKind::Animation) animations.push_back({"sobre_auto", &design});
    std::printf("frames' memory by resolution, KiB at 32 bits a pixel (this screen has %d bits)\n",
                GetDeviceCaps(WindowDc(nullptr).get(), BITSPIXEL));
    for (const int dpi : {96, 144, 192, 288}) {
        double kept_kib = 0, area_kib = 0;
        std::printf("%d dpi\n", dpi);
        for (const Animation& animation : animations) {
            const ControlSpec& design = *animation.design;
            const SIZE area{twips_to_pixels(design.width, dpi), twips_to_pixels(design.height, dpi)};
            const auto frames = AnimationFrames::of(design.picture, area, RGB(255, 255, 255));
            if (!frames) {
                std::printf("  %s.%ls: no frames\n", animation.window, design.name);
                continue;
            }
            const SIZE kept = frames->frame_size();
            const double count = double(frames->count());
            kept_kib += kept.cx * kept.cy * count * 4 / 1024;
            area_kib += area.cx * area.cy * count * 4 / 1024;
            std::printf(
                "  %10s.%-7ls %2.0f frames of %3ld x %-3ld %6.0f KiB   (area %3ld x %-3ld %6.0f KiB)\n",
                animation.window, design.name, count, kept.cx, kept.cy, kept.cx * kept.cy * count * 4 / 1024,
                area.cx, area.cy, area.cx * area.cy * count * 4 / 1024);
        }
        std::printf("  all %41.0f KiB   (at the areas' size %6.0f KiB)\n", kept_kib, area_kib);
    }
    return 0;
}
