#pragma once
// When the server process ends. Started by COM, it ends when the last outside client lets go; started
// by hand it holds a lock of its own, so only its window ends it.
namespace standin {

class ServerLifetime {
public:
    explicit ServerLifetime(bool started_by_com) noexcept;
    ServerLifetime(const ServerLifetime&) = delete;
    ServerLifetime& operator=(const ServerLifetime&) = delete;

    void lock() noexcept;
    // The last unlock ends the message loop.
    void unlock() noexcept;
};

}  // namespace standin
