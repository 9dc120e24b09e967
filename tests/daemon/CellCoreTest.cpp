// The connection stage with a connection manager library present (a fake of it on the
// library path of this test).
#include "daemon/HTTPRequest.h"

#include "runtime/ApplicationCore.h"
#include "runtime/Log.h"
#include "runtime/Registry.h"

#include "platform/ConnectionManager.h"
#include "platform/Library.h"

#include "support/MessagePump.h"
#include "TestFeedServer.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace ombrelo;
using namespace std::chrono_literals;

namespace {

struct Outcome : HTTPRequestListener {
    std::unique_ptr<HTTPRequest> request;
    int failed { 0 }, succeeded { 0 };
    void on_status(HTTPRequest&, double, std::u16string_view) override { }
    void on_failed(HTTPRequest&) override
    {
        ++failed;
        request.reset();
    }
    void on_success(HTTPRequest&, const ByteBuffer&) override
    {
        ++succeeded;
        request.reset();
    }
};

class CellCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.open(u"cellcore.dll")) << "the fake library is not on the library path";
        calls = reinterpret_cast<int (*)(int)>(library.symbol("fake_cellcore_calls"));
        reinterpret_cast<void (*)()>(library.symbol("fake_cellcore_reset"))();
        runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 1);
        core = std::make_unique<runtime::ApplicationCore>(nullptr, u"Weather");
    }
    void TearDown() override
    {
        EXPECT_EQ(core->scheduler().active_counter(), 0);
        core.reset();
        runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 0);
        runtime::get_log(); // switched off now, so the next test starts a fresh log
    }

    Outcome run(const char* mode)
    {
        setenv("NALO_FAKE_CELLCORE", mode, 1);
        Outcome outcome;
        std::string url = server.url("/forecastrss?p=CELL0001&u=c");
        outcome.request = std::make_unique<HTTPRequest>(std::u16string(url.begin(), url.end()), u"GET", outcome, u"UserAgent");
        outcome.request->send_request(ByteBuffer());
        EXPECT_TRUE(test_support::pump_until([&] { return outcome.failed + outcome.succeeded > 0; }, 5s)) << mode;
        return outcome;
    }
    std::string log() const
    {
        return test_support::read_utf16_file(std::string(std::getenv("NALO_TEMP")) + "/daemon_cellcore_tests.txt");
    }

    platform::Library library;
    int (*calls)(int) { nullptr };
    test_support::TestFeedServer server;
    std::unique_ptr<runtime::ApplicationCore> core;
};

} // namespace

TEST_F(CellCore, ConnectedGoesOnToTheRequestAndReleasesTheConnection)
{
    Outcome outcome = run("connected");
    EXPECT_EQ(outcome.succeeded, 1);
    EXPECT_EQ(calls(0), 1);
    EXPECT_EQ(calls(3), 64); // the request's size field
    EXPECT_EQ(calls(2), 1);
    EXPECT_EQ(server.request_count(), 1u);
    std::string text = log();
    EXPECT_NE(text.find("ConnMgrEstablishConnection found\nConnMgrConnectionStatus found\nConnMgrReleaseConnection found\n"),
        std::string::npos);
}

TEST_F(CellCore, DisconnectedOrRefusedFailsWithoutARequest)
{
    Outcome disconnected = run("disconnected");
    EXPECT_EQ(disconnected.failed, 1);
    EXPECT_NE(log().find("status == CONNMGR_STATUS_DISCONNECTED at "), std::string::npos);
    Outcome refused = run("fail");
    EXPECT_EQ(refused.failed, 1);
    EXPECT_NE(log().find("ConnMgrEstablishConnection failed\n"), std::string::npos);
    EXPECT_EQ(server.request_count(), 0u);
}

TEST_F(CellCore, PollsEveryTenthOfASecondUntilConnected)
{
    auto start = std::chrono::steady_clock::now();
    Outcome outcome = run("poll:3");
    EXPECT_EQ(outcome.succeeded, 1);
    EXPECT_EQ(calls(1), 4);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    std::string text = log();
    size_t iterations = 0;
    for (size_t at = text.find(" iteration1\n"); at != std::string::npos; at = text.find(" iteration1\n", at + 1))
        ++iterations;
    EXPECT_EQ(iterations, 4u);
}
