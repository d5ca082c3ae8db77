#pragma once
// EchoLink's automation object, reached across processes through COM. The four operations are called
// through the default interface's method table by position, as the object was built to be called.
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>

#include "echolink/link.h"

namespace relinka {

// Identifiers of EchoLink's type library, class and interfaces.
// {4CF5B97B-A0F5-41F3-848C-6E25FAB62AD3} version 1.8
inline constexpr GUID kEchoLinkLibrary{
    0x4CF5B97B, 0xA0F5, 0x41F3, {0x84, 0x8C, 0x6E, 0x25, 0xFA, 0xB6, 0x2A, 0xD3}};
inline constexpr WORD kEchoLinkLibraryMajor = 1, kEchoLinkLibraryMinor = 8;
// {D1FB3C9A-BB2D-446A-A74A-E771F134ED56}
inline constexpr CLSID kEchoLinkClass{
    0xD1FB3C9A, 0xBB2D, 0x446A, {0xA7, 0x4A, 0xE7, 0x71, 0xF1, 0x34, 0xED, 0x56}};
// {7733112C-4577-4432-9DB0-A9398184EAF6}
inline constexpr IID kEchoLinkInterface{
    0x7733112C, 0x4577, 0x4432, {0x9D, 0xB0, 0xA9, 0x39, 0x81, 0x84, 0xEA, 0xF6}};
// {6F55F7AF-8DA6-400F-96EB-C371F0311611}
inline constexpr IID kEchoLinkEvents{
    0x6F55F7AF, 0x8DA6, 0x400F, {0x96, 0xEB, 0xC3, 0x71, 0xF0, 0x31, 0x16, 0x11}};

class ClosingSink;

class ComEchoLink : public EchoLink {
public:
    // Creates the object by its class, asking for the default interface, and subscribes `on_closing`
    // to its Closing event. Throws EchoLinkError with the failing status.
    static std::unique_ptr<ComEchoLink> create(std::function<void()> on_closing);
    // Unsubscribes and lets the object go; EchoLink is told nothing and keeps its connections.
    ~ComEchoLink() override;

    void Connect(std::wstring_view callsign, bool flag) override;
    void Disconnect(std::wstring_view callsign) override;
    void DisconnectAll() override;
    bool IsConnected(std::wstring_view callsign) override;

    // The dispatch id of Closing: the first function of the event interface in the registered type library.
    static DISPID closing_dispid();

private:
    ComEchoLink() = default;
    template <class... Arguments>
    HRESULT call_at(int position, Arguments... arguments);

    Microsoft::WRL::ComPtr<IDispatch> object_;  // the default interface
    Microsoft::WRL::ComPtr<IConnectionPoint> events_;
    Microsoft::WRL::ComPtr<ClosingSink> sink_;
    DWORD cookie_ = 0;
};

}  // namespace relinka
