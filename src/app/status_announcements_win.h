#pragma once
// The main window's status labels and its indicator as a screen reader hears them: each is named for what
// it shows (accessible_names.h) and is a polite live region, so that a station that drops or comes back,
// and the supervision switched off or on, is spoken once, as it happens, and nothing else is.
#include <windows.h>

#include <string_view>

#include "winlib/annotations_win.h"

namespace relinka {

// A status label of slot `slot` showing `caption`, or the indicator, named for it and made a live region.
void describe_status_label(HWND label, int slot, std::wstring_view caption, Annotations& annotations);
void describe_indicator(HWND indicator, bool running, Annotations& annotations);

// Puts `caption` on a status label that shows `shown`. The same caption again changes nothing; one that
// changes what the label is called is announced once the window's controls are described (`annotations`
// null until then).
void show_status(HWND label, int slot, std::wstring_view shown, std::wstring_view caption,
                 Annotations* annotations);
// The indicator once the supervision has been switched on or off.
void announce_indicator(HWND indicator, bool running, Annotations& annotations);

}  // namespace relinka
