#pragma once
// The running processes as Windows shows them to Relinka, and EchoLink's registered server.
#include "echolink/echolink_processes.h"

namespace relinka {

class WindowsEchoLinkProcesses : public EchoLinkProcesses {
public:
    std::wstring registered_server() override;
    ProcessFacts this_process() override;
    std::vector<ProcessFacts> running(std::wstring_view image) override;
};

}  // namespace relinka
