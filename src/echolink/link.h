#pragma once
// EchoLink as the handlers see it: four operations and the Closing event. The Windows binding talks to
// EchoLink's automation object; tests put a fake in its place.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace relinka {

// A call into EchoLink that failed: a failure status, or EchoLink no longer there.
class EchoLinkError : public std::runtime_error {
public:
    EchoLinkError(const char* operation, std::int32_t status);
    std::int32_t status() const noexcept { return status_; }

private:
    std::int32_t status_;
};

// "0x80004005": how a status code is shown to the operator.
std::wstring status_code_text(std::int32_t status);

class EchoLink {
public:
    virtual ~EchoLink() = default;
    // Each may throw EchoLinkError. While waiting for EchoLink's answer the Closing event may arrive.
    virtual void Connect(std::wstring_view callsign, bool flag) = 0;
    virtual void Disconnect(std::wstring_view callsign) = 0;
    virtual void DisconnectAll() = 0;
    virtual bool IsConnected(std::wstring_view callsign) = 0;
};

}  // namespace relinka
