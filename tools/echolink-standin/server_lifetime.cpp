#include "server_lifetime.h"

#include <windows.h>
#include <objbase.h>

namespace standin {

ServerLifetime::ServerLifetime(bool started_by_com) noexcept {
    if (!started_by_com) lock();  // never released: the window decides
}

void ServerLifetime::lock() noexcept { CoAddRefServerProcess(); }

void ServerLifetime::unlock() noexcept {
    // Reaching zero also suspends our class object, so no new client can slip in while we end.
    if (CoReleaseServerProcess() == 0) PostQuitMessage(0);
}

}  // namespace standin
