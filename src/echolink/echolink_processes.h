#pragma once
// An EchoLink already running where Relinka cannot reach it. COM hands a program the object of a server
// that runs in its own session, as its own user and at its own level (as administrator or not); for an
// EchoLink running any other way it starts a second EchoLink instead, which either fails to start or
// runs beside the first with none of its links. So Relinka looks before it asks for the object.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relinka {

// What could be learnt of a process; what could not be read is left empty.
struct ProcessFacts {
    std::optional<unsigned> session;
    std::optional<bool> elevated;      // runs as administrator (with UAC's full rights)
    std::optional<std::wstring> user;  // the user's security identifier, as text
};

class EchoLinkProcesses {
public:
    virtual ~EchoLinkProcesses() = default;
    // The command registered to start EchoLink's automation server; empty when none is.
    virtual std::wstring registered_server() = 0;
    virtual ProcessFacts this_process() = 0;
    // Every other process running `image`, a program file's full path. One that cannot be looked into,
    // whose file name is the image's, counts too, with nothing known of it.
    virtual std::vector<ProcessFacts> running(std::wstring_view image) = 0;
};

// The program file of a registered server's command, without its quotes and its arguments.
std::wstring server_image(std::wstring_view command);

enum class Apart {
    EchoLinkElevated,  // EchoLink as administrator, Relinka not
    RelinkaElevated,   // the reverse
    OtherSession,
    OtherUser,
    Unseen,  // it cannot be looked into: it runs as administrator, or as another user
};

// How the running EchoLink stands apart from this process; nothing when none runs, or when one runs as
// this process does (COM then hands over that one's object).
std::optional<Apart> how_echolink_runs_apart(EchoLinkProcesses& processes);

}  // namespace relinka
