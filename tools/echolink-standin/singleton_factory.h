#pragma once
// The class object registered with COM. Every client gets the same object: one EchoLink for all.
#include <windows.h>
#include <unknwn.h>

namespace standin {

class ServerLifetime;

class SingletonFactory final : public IClassFactory {
public:
    SingletonFactory(IUnknown& object, ServerLifetime& lifetime) noexcept
        : object_(object), lifetime_(lifetime) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    // Lives in wWinMain's frame for as long as it is registered: COM's references do not own it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    IUnknown& object_;
    ServerLifetime& lifetime_;
};

}  // namespace standin
