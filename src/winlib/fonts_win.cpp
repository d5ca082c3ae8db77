#include "winlib/fonts_win.h"

#include <cwchar>
#include <utility>

namespace relinka {

namespace {

struct Replacements {
    const wchar_t* face;
    // A bitmap face, drawn well only at the few sizes it holds for 96 dpi: above that, its outline twin
    // (the first replacement) goes before it.
    bool bitmap;
    const wchar_t* instead[5];
};

// Metric-compatible faces first, then faces any Linux desktop has.
constexpr Replacements kReplacements[] = {
    {L"MS Sans Serif",
     true,
     {L"Microsoft Sans Serif", L"Tahoma", L"Liberation Sans", L"DejaVu Sans", L"Arial"}},
    {L"Times New Roman", false, {L"Liberation Serif", L"DejaVu Serif", L"Georgia", nullptr, nullptr}},
};

int CALLBACK note_found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool is_installed(const std::wstring& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(WindowDc(nullptr).get(), &wanted, note_found, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

std::vector<std::wstring> faces_for(const wchar_t* face, int dpi) {
    std::vector<std::wstring> faces{face};
    for (const Replacements& known : kReplacements) {
        if (wcscmp(known.face, face) != 0) continue;
        for (const wchar_t* instead : known.instead)
            if (instead) faces.emplace_back(instead);
        if (known.bitmap && dpi > 96) std::swap(faces[0], faces[1]);
    }
    return faces;
}

// Looked up once per face for the whole program: enumerating the system's fonts is slow.
std::wstring installed_face(const wchar_t* face, int dpi) {
    struct Found {
        std::wstring face;
        int dpi;
        std::wstring installed;
    };
    static std::vector<Found> found;
    for (const Found& known : found)
        if (known.face == face && known.dpi == dpi) return known.installed;
    std::wstring installed = face;  // none installed: let the font mapper choose
    for (const std::wstring& candidate : faces_for(face, dpi))
        if (is_installed(candidate)) {
            installed = candidate;
            break;
        }
    found.push_back({face, dpi, installed});
    return installed;
}

HFONT FontSet::get(const FontSpec& wanted) {
    const FontSpec design = wanted.face ? wanted : kFormDefaultFont;
    for (const Entry& entry : fonts_)
        if (wcscmp(entry.design.face, design.face) == 0 && entry.design.centipoints == design.centipoints &&
            entry.design.bold == design.bold)
            return entry.font.get();
    const std::wstring face = installed_face(design.face, dpi_);
    UniqueFont font(CreateFontW(-MulDiv(design.centipoints, dpi_, 7200), 0, 0, 0,
                                design.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    const HFONT made = font.get();
    fonts_.push_back({design, std::move(font)});
    return made;
}

}  // namespace relinka
