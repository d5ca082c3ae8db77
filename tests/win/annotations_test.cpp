// The program's requests to the annotation service, as annotations_win.cpp makes them, against a
// recording service: what each request sets and clears, that a service which does not know LiveSetting
// (Windows 7's) still has names and roles cleared, that every refusal leaves a trace line, and that the
// service is made once, at the first request, and let go.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "support/debug_output.h"
#include "support/fake_annotation_service.h"
#include "support/wine_support.h"
#include "winlib/com_win.h"

namespace relinka::testing {
namespace {

using Annotated = FakeAnnotationService::Annotated;

// Two controls, as the service sees them: their handles' values.
const HWND first = reinterpret_cast<HWND>(0x10010), second = reinterpret_cast<HWND>(0x10020);

// What this process wrote to the trace, once at least `lines` lines have come.
std::string traced_lines(const DebugOutput& output, size_t lines) {
    std::string text;
    wait_until(
        [&] {
            text = output.text(GetCurrentProcessId());
            return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines;
        },
        2000);
    return text;
}

TEST(Annotations, EachControlKeepsWhatWasSetOnItUntilItIsClearedOfEverything) {
    const auto service = FakeAnnotationService::make();
    Annotations annotations(service->maker());
    annotations.set_role(first, ROLE_SYSTEM_STATICTEXT);
    annotations.set_name(first, L"Estação 1: conectado");
    annotations.set_polite_live_region(first);
    annotations.set_role(second, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(service->of(first), (Annotated{L"Estação 1: conectado", ROLE_SYSTEM_STATICTEXT, kPolite}));
    EXPECT_EQ(service->annotated(), 2u) << "only the client area of each control";

    annotations.clear(first);
    EXPECT_EQ(service->of(first), Annotated{});
    EXPECT_EQ(service->of(second), (Annotated{std::nullopt, ROLE_SYSTEM_PUSHBUTTON, std::nullopt}));
}

// Windows 7's service refuses a whole request that names LiveSetting (E_INVALIDARG); the control's name
// and role must not stay on a handle Windows gives to another window. Each refusal is traced.
TEST(Annotations, AServiceThatKnowsNoLiveSettingStillHasNamesAndRolesCleared) {
    const DebugOutput output;
    ASSERT_TRUE(output.reading());
    const auto service = FakeAnnotationService::make();
    service->refuse(kLiveSetting, E_INVALIDARG);
    Annotations annotations(service->maker());
    annotations.set_name(first, L"Supervisão ligada");
    annotations.set_role(first, ROLE_SYSTEM_GRAPHIC);
    annotations.set_polite_live_region(first);
    EXPECT_EQ(service->of(first), (Annotated{L"Supervisão ligada", ROLE_SYSTEM_GRAPHIC, std::nullopt}));
    annotations.clear(first);
    EXPECT_EQ(service->annotated(), 0u);
    EXPECT_EQ(traced_lines(output, 2),
              "relinka: annotation skipped: SetHwndProp LiveSetting: 0x80070057\n"
              "relinka: annotation left: ClearHwndProps LiveSetting: 0x80070057\n");
}

// Wine 8's service refuses every request (E_NOTIMPL).
TEST(Annotations, EveryRequestTheServiceRefusesLeavesATraceLine) {
    const DebugOutput output;
    ASSERT_TRUE(output.reading());
    const auto service = FakeAnnotationService::make();
    service->refuse_all(E_NOTIMPL);
    Annotations annotations(service->maker());
    annotations.set_name(first, L"Texto da ajuda");
    annotations.set_role(first, ROLE_SYSTEM_TEXT);
    annotations.set_polite_live_region(first);
    annotations.clear(first);
    EXPECT_EQ(traced_lines(output, 5),
              "relinka: annotation skipped: SetHwndPropStr name: 0x80004001\n"
              "relinka: annotation skipped: SetHwndProp role: 0x80004001\n"
              "relinka: annotation skipped: SetHwndProp LiveSetting: 0x80004001\n"
              "relinka: annotation left: ClearHwndProps name and role: 0x80004001\n"
              "relinka: annotation left: ClearHwndProps LiveSetting: 0x80004001\n");
}

TEST(Annotations, TheServiceIsMadeAtTheFirstRequestOnlyAndLetGoWithTheAnnotations) {
    const auto service = FakeAnnotationService::make();
    {
        Annotations annotations(service->maker());
        EXPECT_EQ(service->made(), 0);
        annotations.set_role(first, ROLE_SYSTEM_TEXT);
        annotations.clear(second);
        EXPECT_EQ(service->made(), 1);
        EXPECT_EQ(service->references(), 2);
    }
    EXPECT_EQ(service->references(), 1);

    int asked = 0;  // a service that could not be made is not asked for again, nor used
    Annotations without_service([&] {
        ++asked;
        return ComPtr<IAccPropServices>();
    });
    without_service.set_name(first, L"Encerrar");
    without_service.clear(first);
    EXPECT_EQ(asked, 1);
}

TEST(Annotations, TheSystemsServiceIsMadeInAnApartmentAndOutsideOneLeavesATraceLine) {
    {
        const ComApartment apartment;
        EXPECT_TRUE(system_annotation_service());
    }
    const DebugOutput output;
    ASSERT_TRUE(output.reading());
    std::thread([] { EXPECT_FALSE(system_annotation_service()); }).join();  // COM not initialized there
    EXPECT_EQ(traced_lines(output, 1), "relinka: annotations skipped: no AccPropServices: 0x800401F0\n");
}

}  // namespace
}  // namespace relinka::testing
