#pragma once
// What the operator reads when EchoLink's object cannot be had at start-up, and what to do about it. The
// program ends after it.
#include <cstdint>
#include <string>

#include "echolink/echolink_processes.h"

namespace relinka {

std::wstring running_apart_message(Apart how);
// The failure's code, and the advice that fits it: EchoLink missing, or the two programs opened in ways
// that keep them apart.
std::wstring creation_failure_message(std::int32_t status);

}  // namespace relinka
