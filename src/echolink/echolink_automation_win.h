#pragma once
// EchoLink's automation object as its type library declares it: the identifiers, and the default
// interface with its thirteen methods in their places after IDispatch's seven. Calls go through this
// declaration by position, as the object was built to be called; the four that Relinka makes are
// Connect, Disconnect, DisconnectAll and IsConnected, and the others are here only to hold their places.
#include <windows.h>
#include <oaidl.h>

namespace relinka {

// {4CF5B97B-A0F5-41F3-848C-6E25FAB62AD3} version 1.8
inline constexpr GUID kEchoLinkLibrary{
    0x4CF5B97B, 0xA0F5, 0x41F3, {0x84, 0x8C, 0x6E, 0x25, 0xFA, 0xB6, 0x2A, 0xD3}};
inline constexpr WORD kEchoLinkLibraryMajor = 1, kEchoLinkLibraryMinor = 8;
// {D1FB3C9A-BB2D-446A-A74A-E771F134ED56}
inline constexpr CLSID kEchoLinkClass{
    0xD1FB3C9A, 0xBB2D, 0x446A, {0xA7, 0x4A, 0xE7, 0x71, 0xF1, 0x34, 0xED, 0x56}};
// The event interface, whose first event is Closing. {6F55F7AF-8DA6-400F-96EB-C371F0311611}
inline constexpr IID kEchoLinkEvents{
    0x6F55F7AF, 0x8DA6, 0x400F, {0x96, 0xEB, 0xC3, 0x71, 0xF0, 0x31, 0x16, 0x11}};

// {7733112C-4577-4432-9DB0-A9398184EAF6}, dual.
struct IEchoLinkApp : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Version(BSTR* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE Connect(BSTR callsign, VARIANT_BOOL flag) = 0;
    virtual HRESULT STDMETHODCALLTYPE Disconnect(BSTR callsign) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisconnectAll() = 0;
    virtual HRESULT STDMETHODCALLTYPE Transmit(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConnectionCount(long* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConnectionAt(long index, BSTR* callsign) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendText(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE Callsign(BSTR* callsign) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsTransmitting(VARIANT_BOOL* on) = 0;
    virtual HRESULT STDMETHODCALLTYPE Mute(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE Status(BSTR* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsConnected(BSTR callsign, VARIANT_BOOL* connected) = 0;
};

}  // namespace relinka

__CRT_UUID_DECL(relinka::IEchoLinkApp, 0x7733112C, 0x4577, 0x4432, 0x9D, 0xB0, 0xA9, 0x39, 0x81, 0x84, 0xEA,
                0xF6)
