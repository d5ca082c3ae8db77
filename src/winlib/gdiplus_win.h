#pragma once
// GDI+ through its flat functions, from gdiplus.dll in the system's folder, loaded and started at the
// first use and shut down when the program ends. It is not imported: gdiplus is not one of Windows'
// KnownDLLs, so a gdiplus.dll beside relinka.exe would be loaded in its place before the program's first
// line. Only the flat functions are used: the classes of gdiplus.h call imported ones.
#include <windows.h>
#include <objidl.h>
// GDI+'s headers need min and max, which the program otherwise keeps out of its way.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace relinka {

#define RELINKA_GDIPLUS_FUNCTION(name) decltype(&Gdiplus::DllExports::name) name
struct GdiplusFunctions {
    RELINKA_GDIPLUS_FUNCTION(GdipLoadImageFromStream);
    RELINKA_GDIPLUS_FUNCTION(GdipDisposeImage);
    RELINKA_GDIPLUS_FUNCTION(GdipGetImageWidth);
    RELINKA_GDIPLUS_FUNCTION(GdipGetImageHeight);
    RELINKA_GDIPLUS_FUNCTION(GdipImageGetFrameCount);
    RELINKA_GDIPLUS_FUNCTION(GdipImageSelectActiveFrame);
    RELINKA_GDIPLUS_FUNCTION(GdipGetPropertyItemSize);
    RELINKA_GDIPLUS_FUNCTION(GdipGetPropertyItem);
    RELINKA_GDIPLUS_FUNCTION(GdipCreateFromHDC);
    RELINKA_GDIPLUS_FUNCTION(GdipDeleteGraphics);
    RELINKA_GDIPLUS_FUNCTION(GdipSetInterpolationMode);
    RELINKA_GDIPLUS_FUNCTION(GdipSetPixelOffsetMode);
    RELINKA_GDIPLUS_FUNCTION(GdipDrawImageRectI);
    RELINKA_GDIPLUS_FUNCTION(GdipFlush);
};
#undef RELINKA_GDIPLUS_FUNCTION

// GDI+, started; null when it cannot be loaded or started (traced once).
const GdiplusFunctions* gdiplus();

// A GDI+ status other than Ok, for the trace: 0x8004020N for status N (FACILITY_ITF).
inline HRESULT gdiplus_failure(Gdiplus::GpStatus status) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x200 + static_cast<int>(status));
}

}  // namespace relinka
