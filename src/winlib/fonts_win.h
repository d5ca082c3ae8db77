#pragma once
// Fonts named by the window tables, made once per window at the screen's resolution. Where a face is not
// installed (Wine has no "MS Sans Serif" or "Times New Roman"), the closest one that is stands in.
#include <windows.h>

#include <string>
#include <vector>

#include "winlib/control_table.h"
#include "winlib/unique_win.h"

namespace relinka {

// Every face that may stand for `face` at `dpi`, the best first: itself, then its replacements, except
// that above 96 dpi the bitmap face "MS Sans Serif" gives way to its outline twin "Microsoft Sans Serif".
std::vector<std::wstring> faces_for(const wchar_t* face, int dpi);
// The first of those that is installed (looked up once per program); `face` itself if none is.
std::wstring installed_face(const wchar_t* face, int dpi);
// A form's own font when a control names none: MS Sans Serif 8.25, not bold.
inline constexpr FontSpec kFormDefaultFont{L"MS Sans Serif", 825, false};

class FontSet {
public:
    explicit FontSet(int dpi) : dpi_(dpi) {}
    HFONT get(const FontSpec& design);

private:
    struct Entry {
        FontSpec design;
        UniqueFont font;
    };
    int dpi_;
    std::vector<Entry> fonts_;
};

}  // namespace relinka
