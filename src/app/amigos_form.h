#pragma once
// The main window's controls as the handlers see them. The controls are the program's state: nothing
// keeps a copy, and every read goes to the control afresh.
#include <cstdint>
#include <string>
#include <string_view>

namespace relinka {

// 0x00BBGGRR, red in the low byte.
using Colour = std::uint32_t;
inline constexpr Colour kGreen = 65280;
inline constexpr Colour kRed = 255;

inline constexpr int kSlots = 8;    // station slots 1..8
inline constexpr int kDropBox = 9;  // Text9, the callsign to disconnect by hand

class AmigosForm {
public:
    virtual ~AmigosForm() = default;

    virtual std::wstring Text(int box) const = 0;  // Text1..Text9
    virtual void SetText(int box, std::wstring_view text) = 0;
    virtual int Check(int slot) const = 0;  // Check1..Check8: 1 ticked, 0 not
    virtual void SetCheck(int slot, int value) = 0;
    virtual void SetLabel(int slot, std::wstring_view caption) = 0;  // Label1..Label8
    virtual void SetTimerEnabled(bool enabled) = 0;                  // Timer1
    // Timer1's next tick comes at once rather than at its next beat, if the timer is still enabled.
    virtual void SetTimerDue() = 0;
    virtual void SetIndicatorFill(Colour colour) = 0;  // Shape1
    virtual void SetIndicatorBack(Colour colour) = 0;
    // The Help and About windows, modal; a failure to open them is skipped silently.
    virtual void ShowAjuda() = 0;
    virtual void ShowSobreAuto() = 0;
    // Closes the window and every window of the program for good; the message loop then ends.
    virtual void Unload() = 0;
};

}  // namespace relinka
