#pragma once
// EchoLink's automation object, reached across processes through COM: the four operations through its
// default interface, and Closing through its connection point.
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>

#include "echolink/closing_sink_win.h"
#include "echolink/echolink_automation_win.h"
#include "echolink/link.h"

namespace relinka {

class ComEchoLink : public EchoLink {
public:
    // Creates the object by its class, asking for the default interface, and subscribes `on_closing`
    // to its Closing event. Throws EchoLinkError with the failing status.
    [[nodiscard]] static std::unique_ptr<ComEchoLink> create(std::function<void()> on_closing);
    // Unsubscribes and lets the object go; EchoLink is told nothing and keeps its connections.
    ~ComEchoLink() override;

    void Connect(std::wstring_view callsign, bool flag) override;
    void Disconnect(std::wstring_view callsign) override;
    void DisconnectAll() override;
    bool IsConnected(std::wstring_view callsign) override;

private:
    ComEchoLink() = default;
    // Makes the call `operation` by `attempt`, which returns its HRESULT: tried again while EchoLink turns it
    // away for being busy (busy.h), answering meanwhile. Throws EchoLinkError when it fails.
    template <class Attempt>
    void call(const char* operation, Attempt attempt);

    Microsoft::WRL::ComPtr<IEchoLinkApp> object_;
    Microsoft::WRL::ComPtr<IConnectionPoint> events_;
    Microsoft::WRL::ComPtr<ClosingSink> sink_;
    DWORD cookie_ = 0;
    bool closed_ = false;  // EchoLink raised Closing: a busy call is not tried again
};

}  // namespace relinka
