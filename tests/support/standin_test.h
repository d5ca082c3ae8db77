#pragma once
// The fixture of the tests that drive the EchoLink stand-in: this thread in an apartment, the stand-in put
// back as a fresh one has it before and after each test, and a folder of the test's own for relinka.exe.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "support/relinka_process.h"
#include "support/wine_support.h"

namespace relinka::testing {

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standin.operator->()) << "the stand-in is not registered";
        standin.reset();
    }
    void TearDown() override { standin.reset(); }

    // Whether `line` comes into the stand-in's call log within the time.
    bool log_shows(const std::wstring& line, DWORD milliseconds) {
        return wait_until([&] { return contains(standin.log(), line + L"\n"); }, milliseconds);
    }

    ComApartment apartment;
    StandIn standin;
    std::wstring directory = fresh_directory();
};

}  // namespace relinka::testing
