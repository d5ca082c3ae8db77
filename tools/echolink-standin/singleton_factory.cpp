#include "singleton_factory.h"

#include "server_lifetime.h"

namespace standin {

HRESULT SingletonFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT SingletonFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return object_.QueryInterface(iid, object);
}

HRESULT SingletonFactory::LockServer(BOOL lock) {
    if (lock)
        lifetime_.lock();
    else
        lifetime_.unlock();
    return S_OK;
}

}  // namespace standin
