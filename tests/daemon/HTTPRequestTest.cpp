// The HTTP engine against a real server on loopback: chunking, progress, failures,
// the inactivity time-out and requests destroyed while they run.
#include "daemon/HTTPRequest.h"
#include "daemon/HTTPRequestImpl.h"

#include "runtime/ApplicationCore.h"

#include "support/MessagePump.h"
#include "TestFeedServer.h"

#include <gtest/gtest.h>
#include <memory>

using namespace ombrelo;
using test_support::pump_for;
using test_support::pump_until;
using test_support::Reply;
using test_support::TestFeedServer;
using namespace std::chrono_literals;

namespace {

struct Recorder : HTTPRequestListener {
    std::unique_ptr<HTTPRequest> request;
    std::vector<double> progress;
    std::vector<std::u16string> messages;
    std::vector<size_t> chunks;
    std::vector<std::pair<std::u16string, std::u16string>> headers;
    std::vector<int32_t> lengths;
    bool take_range { false };
    bool destroy_when_done { true };
    int failed { 0 };
    int succeeded { 0 };
    int status_code { -1 };   // as the failed request saw it
    bool body_refused { false };
    std::string body;
    bool done() const { return failed + succeeded > 0; }

    void on_status(HTTPRequest&, double value, std::u16string_view message) override
    {
        progress.push_back(value);
        messages.emplace_back(message);
    }
    void on_failed(HTTPRequest& failing) override
    {
        ++failed;
        status_code = failing.status_code();
        body_refused = failing.body_refused();
        if (destroy_when_done)
            request.reset();
    }
    void on_success(HTTPRequest&, const ByteBuffer& received) override
    {
        ++succeeded;
        body = std::string(received.as_text());
        if (destroy_when_done)
            request.reset();
    }
    bool on_data(HTTPRequest&, const ByteBuffer& chunk) override
    {
        chunks.push_back(chunk.size());
        return false;
    }
    void on_header(HTTPRequest&, std::u16string_view name, std::u16string_view value) override
    {
        headers.emplace_back(name, value);
    }
    void on_content_length(HTTPRequest&, int32_t length) override { lengths.push_back(length); }
    bool on_content_range(HTTPRequest&, int32_t, int32_t, int32_t) override { return take_range; }

    bool has_header(std::u16string_view name, std::u16string_view value) const
    {
        for (const auto& h : headers)
            if (h.first == name && h.second == value)
                return true;
        return false;
    }
};

std::u16string wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override { core = std::make_unique<runtime::ApplicationCore>(nullptr, u"Weather"); }
    void TearDown() override
    {
        // A scheduler destroyed with active objects would end the process through the
        // fatal-error routine, with exit code 0: check first.
        EXPECT_EQ(core->scheduler().active_counter(), 0);
        if (core->scheduler().active_counter() == 0)
            core.reset();
        else
            core.release();
    }

    // Sends a GET for the path and runs the loop until the listener has heard the end;
    // a time-out other than 0 replaces the 10 seconds of silence that fail a request.
    void fetch(Recorder& recorder, const std::string& path, std::chrono::milliseconds limit = 5s, double timeout = 0)
    {
        recorder.request = std::make_unique<HTTPRequest>(wide(server.url(path)), u"GET", recorder, u"UserAgent");
        if (timeout > 0)
            recorder.request->set_inactivity_timeout(timeout);
        recorder.request->send_request(ByteBuffer());
        EXPECT_TRUE(pump_until([&] { return recorder.done(); }, limit));
    }

    TestFeedServer server;
    std::unique_ptr<runtime::ApplicationCore> core;
};

} // namespace

TEST_F(Engine, BodyArrivesInChunksWithProgress)
{
    Reply reply;
    reply.body = std::string(20000, 'w');
    server.set_reply("big", reply);
    Recorder recorder;
    fetch(recorder, "/forecastrss?p=big&u=c");
    EXPECT_EQ(recorder.succeeded, 1);
    EXPECT_EQ(recorder.failed, 0);
    EXPECT_EQ(recorder.body, reply.body);
    EXPECT_EQ(recorder.chunks, (std::vector<size_t> { 0, 8192, 8192, 3616 }));
    EXPECT_EQ(recorder.progress, (std::vector<double> { 0.0, 0.0, 0.4096, 0.8192, 1.0, 1.0 }));
    EXPECT_EQ(recorder.messages.back(), u"ServerSuccess");
    EXPECT_EQ(recorder.lengths, (std::vector<int32_t> { 20000 }));
    EXPECT_TRUE(recorder.has_header(u"content-type", u"text/xml;charset=UTF-8"));
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /forecastrss?p=big&u=c HTTP/1.1");
}

TEST_F(Engine, EmptyBodySucceedsEmpty)
{
    server.set_reply("none", Reply {});
    Recorder recorder;
    fetch(recorder, "/forecastrss?p=none");
    EXPECT_EQ(recorder.succeeded, 1);
    EXPECT_EQ(recorder.body, "");
    EXPECT_EQ(recorder.chunks, (std::vector<size_t> { 0 }));
}

TEST_F(Engine, FailuresReachTheListenerOnce)
{
    struct Case {
        const char* name;
        Reply reply;
        std::u16string last_message;
    };
    Reply missing;
    missing.status = 404;
    missing.body = "no such city";
    Reply cut;
    cut.body = std::string(30000, 'c');
    cut.mode = Reply::Mode::close_mid_body;
    Reply huge;
    huge.body = std::string(HTTPRequestImpl::largest_body + 1, 'h');
    struct Seen {
        int status_code;
        bool body_refused;
    };
    Case cases[] = {
        { "missing", missing, u"ServerBusy" },
        { "cut", cut, u"ServerSendFailed" },
        { "huge", huge, u"ServerSendFailed" },
    };
    const Seen seen[] = { { 404, false }, { 200, false }, { 200, true } };
    size_t index = 0;
    for (Case& c : cases) {
        server.set_reply(c.name, c.reply);
        Recorder recorder;
        fetch(recorder, std::string("/forecastrss?p=") + c.name);
        EXPECT_EQ(recorder.failed, 1) << c.name;
        EXPECT_EQ(recorder.succeeded, 0) << c.name;
        EXPECT_EQ(recorder.progress.back(), 1.0) << c.name;
        EXPECT_EQ(recorder.messages.back(), c.last_message) << c.name;
        if (c.reply.status == 404) {
            EXPECT_TRUE(recorder.chunks.empty());
        }
        pump_for(50ms); // nothing more arrives
        EXPECT_EQ(recorder.failed + recorder.succeeded, 1) << c.name;
        EXPECT_EQ(recorder.status_code, seen[index].status_code) << c.name;
        EXPECT_EQ(recorder.body_refused, seen[index++].body_refused) << c.name;
    }
}

TEST_F(Engine, BodyOfExactlyTheLimitIsAccepted)
{
    Reply reply;
    reply.body = std::string(HTTPRequestImpl::largest_body, 'm');
    server.set_reply("limit", reply);
    Recorder recorder;
    fetch(recorder, "/forecastrss?p=limit");
    EXPECT_EQ(recorder.succeeded, 1);
    EXPECT_EQ(recorder.body.size(), reply.body.size());
}

TEST_F(Engine, ChunkedDripIsCollected)
{
    Reply reply;
    for (int i = 0; i < 100; ++i)
        reply.body += "line " + std::to_string(i) + "\n";
    reply.mode = Reply::Mode::chunked_drip;
    reply.drip_size = 97;
    reply.drip_interval_ms = 5;
    server.set_reply("drip", reply);
    Recorder recorder;
    fetch(recorder, "/forecastrss?p=drip");
    EXPECT_EQ(recorder.succeeded, 1);
    EXPECT_EQ(recorder.body, reply.body);
    EXPECT_GT(recorder.chunks.size(), 2u);
    EXPECT_TRUE(recorder.lengths.empty()); // no Content-Length: no progress between
}

TEST_F(Engine, ContentRangeSetsTheLengthAndShadowsContentLength)
{
    Reply reply;
    reply.status = 206;
    reply.body = std::string(100, 'r');
    reply.headers = { { "Content-Range", "bytes 0-99/1000" } }; // sent before Content-Length
    server.set_reply("range", reply);
    for (bool take : { false, true }) {
        Recorder recorder;
        recorder.take_range = take;
        fetch(recorder, "/forecastrss?p=range");
        EXPECT_EQ(recorder.succeeded, 1);
        EXPECT_EQ(recorder.body, reply.body);
        EXPECT_TRUE(recorder.lengths.empty());
        EXPECT_TRUE(recorder.has_header(u"content-length", u"100"));
        // The progress after the 100 bytes: of the total, or of the range taken.
        ASSERT_GE(recorder.progress.size(), 2u);
        EXPECT_DOUBLE_EQ(recorder.progress[recorder.progress.size() - 2], take ? 1.0 : 0.1);
    }
}

TEST_F(Engine, RangeNotFromZeroKeepsOnlyTheBytesReceived)
{
    Reply reply;
    reply.status = 206;
    reply.body = "0123456789";
    reply.headers = { { "Content-Range", "bytes 90-99/100" } };
    server.set_reply("tail", reply);
    Recorder recorder;
    fetch(recorder, "/forecastrss?p=tail");
    EXPECT_EQ(recorder.succeeded, 1);
    EXPECT_EQ(recorder.body, "0123456789");
    EXPECT_DOUBLE_EQ(recorder.progress[recorder.progress.size() - 2], 1.0); // 90 + 10 of 100
}

TEST_F(Engine, NoServerOrNoUsableAddressFails)
{
    int closed_port;
    {
        TestFeedServer gone;
        closed_port = gone.port();
    }
    Recorder refused;
    refused.request = std::make_unique<HTTPRequest>(
        wide("http://127.0.0.1:" + std::to_string(closed_port) + "/forecastrss?p=x"), u"GET", refused, u"UserAgent");
    EXPECT_TRUE(refused.request->send_request(ByteBuffer()));
    EXPECT_TRUE(pump_until([&] { return refused.done(); }, 5s));
    EXPECT_EQ(refused.failed, 1);
    EXPECT_EQ(refused.messages.back(), u"ServerSendFailed");

    // Without machinery the failure comes from inside send_request.
    Recorder unusable;
    unusable.request = std::make_unique<HTTPRequest>(u"nonsense://", u"GET", unusable, u"UserAgent");
    EXPECT_FALSE(unusable.request->has_machinery());
    EXPECT_FALSE(unusable.request->send_request(ByteBuffer()));
    EXPECT_EQ(unusable.failed, 1);
    EXPECT_EQ(unusable.progress, (std::vector<double> { 0.0, 1.0 }));
    EXPECT_EQ(unusable.messages.back(), u"ServerSendFailed");
}

TEST_F(Engine, TheInactivityTimeOutCountsFromTheLastStepNotFromTheStart)
{
    // 20 pieces 40 ms apart: the whole answer takes twice the time-out, no gap does.
    Reply drip;
    drip.mode = Reply::Mode::chunked_drip;
    drip.body = std::string(2000, 'd');
    drip.drip_size = 100;
    drip.drip_interval_ms = 40;
    server.set_reply("drip", drip);
    Recorder recorder;
    auto start = std::chrono::steady_clock::now();
    fetch(recorder, "/forecastrss?p=drip", 10s, 0.4);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 400ms);
    EXPECT_EQ(recorder.failed, 0);
    EXPECT_EQ(recorder.succeeded, 1);
    EXPECT_EQ(recorder.body, drip.body);
}

TEST_F(Engine, DestroyedWhileRunningReportsNothing)
{
    // One request waits for its answer, the other for the body after the headers.
    Reply held;
    held.held = true;
    held.body = "late";
    server.set_reply("held", held);
    Reply stall;
    stall.mode = Reply::Mode::stall_after_headers;
    stall.body = std::string(100, 's');
    server.set_reply("stall", stall);
    size_t sent = 0;
    for (const char* code : { "held", "stall" }) {
        Recorder recorder;
        recorder.request = std::make_unique<HTTPRequest>(
            wide(server.url(std::string("/forecastrss?p=") + code)), u"GET", recorder, u"UserAgent");
        recorder.request->send_request(ByteBuffer());
        ASSERT_TRUE(server.wait_for_requests(++sent, 2000));
        pump_for(100ms);
        auto start = std::chrono::steady_clock::now();
        recorder.request.reset(); // the worker is stopped at once, wherever it waits
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << code;
        if (std::string(code) == "held") {
            server.release(code); // the answer now goes out to nobody
            EXPECT_TRUE(server.wait_for_replies(1, 2000));
        }
        pump_for(100ms);
        EXPECT_EQ(recorder.failed + recorder.succeeded, 0) << code;
        EXPECT_EQ(core->scheduler().active_counter(), 0) << code;
        server.set_reply(code, Reply {});
    }
}

// Silence after the headers fails the request once the inactivity time-out has passed
// (shortened from the 10 seconds the daemon uses).
TEST_F(Engine, StallAfterHeadersTimesOut)
{
    Reply stall;
    stall.mode = Reply::Mode::stall_after_headers;
    stall.body = std::string(100, 's');
    server.set_reply("stall", stall);
    Recorder recorder;
    recorder.destroy_when_done = false; // kept after its failure, destroyed later
    auto start = std::chrono::steady_clock::now();
    fetch(recorder, "/forecastrss?p=stall", 10s, 0.3);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(recorder.failed, 1);
    EXPECT_EQ(recorder.messages.back(), u"ServerSendFailed");
    EXPECT_GE(elapsed, 300ms);
    EXPECT_LT(elapsed, 5s);
    pump_for(200ms);
    EXPECT_EQ(recorder.failed + recorder.succeeded, 1);
    recorder.request.reset(); // the abandoned worker can no longer reach it
    EXPECT_EQ(core->scheduler().active_counter(), 0);
}
