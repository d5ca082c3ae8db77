// The program's own declaration of EchoLink's object against the stand-in's, which is generated from the
// type library: the same identifiers (the places of the methods are checked against the stand-in across
// processes, with the binding). And the event sink as a COM object: nothing its handler throws crosses it.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "echolink.h"  // the stand-in's, from its type library
#include "echolink/closing_sink_win.h"
#include "echolink/echolink_automation_win.h"
#include "support/debug_output.h"
#include "winlib/com_win.h"

namespace relinka::testing {
namespace {

TEST(EchoLinkDeclaration, IdentifiersAreTheTypeLibrarys) {
    EXPECT_EQ(kEchoLinkLibrary, LIBID_EchoLink);
    EXPECT_EQ(kEchoLinkClass, CLSID_EchoLinkApp);
    EXPECT_EQ(kEchoLinkEvents, DIID_IEchoLinkAppEvents);
    EXPECT_EQ(__uuidof(relinka::IEchoLinkApp), IID_IEchoLinkApp);
}

HRESULT invoke(IDispatch& sink, DISPID member) {
    DISPPARAMS none{};
    return sink.Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                       nullptr);
}

TEST(ClosingSink, AnswersEveryEventAndOnlyClosingRunsTheHandler) {
    int closings = 0;
    auto sink = adopt(new ClosingSink([&] { ++closings; }, 1));
    EXPECT_EQ(invoke(*sink.Get(), 2), S_OK);
    EXPECT_EQ(closings, 0);
    EXPECT_EQ(invoke(*sink.Get(), 1), S_OK);
    EXPECT_EQ(closings, 1);
    sink->disarm();
    EXPECT_EQ(invoke(*sink.Get(), 1), S_OK);
    EXPECT_EQ(closings, 1) << "a late event after the link has gone";
}

TEST(ClosingSink, IsFreedWithItsLastOwnerAndItsHandlerWithIt) {
    const auto held_by_handler = std::make_shared<int>();
    {
        const auto sink = adopt(new ClosingSink([held_by_handler] {}, 1));
        EXPECT_EQ(held_by_handler.use_count(), 2);
    }
    EXPECT_EQ(held_by_handler.use_count(), 1) << "the sink outlived its last owner";
}

TEST(ClosingSink, AHandlerThatThrowsBecomesAFailureStatusAndATraceLineNotACrash) {
    const DebugOutput debug_output;
    ASSERT_TRUE(debug_output.reading());
    auto sink = adopt(new ClosingSink([] { throw std::runtime_error("handler failed"); }, 1));
    EXPECT_EQ(invoke(*sink.Get(), 1), E_UNEXPECTED);
    sink = adopt(new ClosingSink([] { throw std::bad_alloc(); }, 1));
    EXPECT_EQ(invoke(*sink.Get(), 1), E_OUTOFMEMORY);
    // Each leaves a line that names the method it stopped.
    EXPECT_TRUE(debug_output.shows("stopped by an exception: 0x8007000E\n"));
    std::istringstream lines(debug_output.text(GetCurrentProcessId()));
    std::vector<std::string> traced;
    for (std::string line; std::getline(lines, line);)
        if (line.find("ClosingSink::Invoke(") != std::string::npos)
            traced.push_back(line.substr(line.size() - 10));
    EXPECT_EQ(traced, (std::vector<std::string>{"0x8000FFFF", "0x8007000E"}))
        << debug_output.text(GetCurrentProcessId());
}

TEST(ClosingSink, NullOutPointersAreRefused) {
    auto sink = adopt(new ClosingSink([] {}, 1));
    EXPECT_EQ(sink->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
    EXPECT_EQ(sink->GetTypeInfoCount(nullptr), E_POINTER);
    void* events = nullptr;
    ASSERT_EQ(sink->QueryInterface(kEchoLinkEvents, &events), S_OK);
    EXPECT_EQ(events, static_cast<IDispatch*>(sink.Get()));
    sink->Release();
}

}  // namespace
}  // namespace relinka::testing
