// One HTTP request of the daemon, reporting to its listener on the main thread. The
// forecast loader derives its city requests from it.
#pragma once

#include "daemon/ByteBuffer.h"
#include "daemon/HTTPRequestListener.h"

#include <memory>
#include <string>
#include <string_view>

namespace ombrelo {

class HTTPRequestImpl;

class HTTPRequest {
public:
    // Opens the connection machinery for the URL; when that fails the request has none
    // and reports its failure when sent.
    HTTPRequest(std::u16string_view url, std::u16string_view method, HTTPRequestListener& listener,
        std::u16string_view user_agent);
    virtual ~HTTPRequest();
    HTTPRequest(const HTTPRequest&) = delete;
    HTTPRequest& operator=(const HTTPRequest&) = delete;

    // False when the request has no machinery (the failure has then been reported).
    bool send_request(const ByteBuffer& body);
    // Seconds of silence from the network after which the request fails (10 unless set;
    // tests shorten it). Takes effect when the request is sent.
    void set_inactivity_timeout(double seconds);
    // Stops the worker and releases the connection.
    void destroy_machinery();
    bool has_machinery() const { return m_impl != nullptr; }

    const std::u16string& url() const { return m_url; }
    HTTPRequestListener& listener() { return m_listener; }

private:
    std::u16string m_url;
    HTTPRequestListener& m_listener;
    std::unique_ptr<HTTPRequestImpl> m_impl;
};

} // namespace ombrelo
