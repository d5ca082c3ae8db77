#include "winlib/gdiplus_win.h"

#include <type_traits>

#include "winlib/system_library_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

template <class Function>
bool bind(HMODULE module, const char* name, Function& function) {
    function = function_of<std::remove_pointer_t<Function>>(module, name);
    return function != nullptr;
}

// GDI+ from its first use to the end of the program; the library itself stays loaded.
class Session {
public:
    Session() {
        const HMODULE module = load_system_library(L"gdiplus.dll");
        if (trace_last_error_if(!module,
                                "GDI+: gdiplus.dll from the system folder, so no animation is shown"))
            return;
        GdiplusFunctions& f = functions_;
#define RELINKA_BIND(name) bind(module, #name, f.name)
        if (!bind(module, "GdiplusStartup", startup_) || !bind(module, "GdiplusShutdown", shutdown_) ||
            !RELINKA_BIND(GdipLoadImageFromStream) || !RELINKA_BIND(GdipDisposeImage) ||
            !RELINKA_BIND(GdipGetImageWidth) || !RELINKA_BIND(GdipGetImageHeight) ||
            !RELINKA_BIND(GdipImageGetFrameCount) || !RELINKA_BIND(GdipImageSelectActiveFrame) ||
            !RELINKA_BIND(GdipGetPropertyItemSize) || !RELINKA_BIND(GdipGetPropertyItem) ||
            !RELINKA_BIND(GdipCreateFromHDC) || !RELINKA_BIND(GdipDeleteGraphics) ||
            !RELINKA_BIND(GdipSetInterpolationMode) || !RELINKA_BIND(GdipSetPixelOffsetMode) ||
            !RELINKA_BIND(GdipDrawImageRectI) || !RELINKA_BIND(GdipFlush)) {
            trace_last_error("GDI+: a function of gdiplus.dll, so no animation is shown");
            return;
        }
#undef RELINKA_BIND
        const Gdiplus::GdiplusStartupInput input;
        if (const Gdiplus::GpStatus status = startup_(&token_, &input, nullptr); status != Gdiplus::Ok) {
            trace_failure("GdiplusStartup, so no animation is shown", gdiplus_failure(status));
            return;
        }
        started_ = true;
    }
    ~Session() {
        if (started_) shutdown_(token_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const GdiplusFunctions* functions() const { return started_ ? &functions_ : nullptr; }

private:
    decltype(&Gdiplus::GdiplusStartup) startup_ = nullptr;
    decltype(&Gdiplus::GdiplusShutdown) shutdown_ = nullptr;
    GdiplusFunctions functions_{};
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

}  // namespace

const GdiplusFunctions* gdiplus() {
    static const Session session;
    return session.functions();
}

}  // namespace relinka
