// The test server alone: serves a feed of the given size (bytes, default about 5 kB)
// for any city code and prints its port; runs until its standard input closes.
#include "TestFeedServer.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    size_t size = argc > 1 ? size_t(std::atol(argv[1])) : 5000;
    test_support::TestFeedServer server;
    std::vector<test_support::TestFeedServer::Day> days;
    std::string feed;
    for (int i = 0; feed.size() < size; ++i) {
        days.push_back({ std::to_string(1 + i % 28) + " Mar 2009", i % 10, 10 + i % 10, 20 + i % 20 });
        feed = test_support::TestFeedServer::yahoo_feed(21, 30, "Tue, 10 Mar 2009 2:00 pm CET", days);
    }
    test_support::Reply reply;
    reply.body = feed;
    server.set_default(reply);
    std::printf("%d %zu\n", server.port(), feed.size());
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}
