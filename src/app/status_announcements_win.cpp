#include "app/status_announcements_win.h"

#include <string>

#include "app/accessible_names.h"

namespace relinka {

void describe_status_label(HWND label, int slot, std::wstring_view caption, Annotations& annotations) {
    annotations.set_name(label, status_label_name(slot, caption));
    annotations.set_polite_live_region(label);
}

void describe_indicator(HWND indicator, bool running, Annotations& annotations) {
    annotations.set_name(indicator, indicator_name(running));
    annotations.set_polite_live_region(indicator);
}

void show_status(HWND label, int slot, std::wstring_view shown, std::wstring_view caption,
                 Annotations* annotations) {
    if (caption == shown) return;  // nothing to draw again, nothing to say
    const std::wstring name = status_label_name(slot, caption);
    const bool renamed = annotations && name != status_label_name(slot, shown);
    // Named before the text changes: Windows tells screen readers of the new text at once.
    if (renamed) annotations->set_name(label, name);
    SetWindowTextW(label, std::wstring(caption).c_str());
    if (renamed) announce_new_name(label);
}

void announce_indicator(HWND indicator, bool running, Annotations& annotations) {
    annotations.set_name(indicator, indicator_name(running));
    announce_new_name(indicator);
}

}  // namespace relinka
