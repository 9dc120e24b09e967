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
    // Seconds from sending after which the request fails however the answer trickles in
    // (60 unless set). Takes effect when the request is sent.
    void set_overall_deadline(double seconds);
    // Stops the worker and releases the connection.
    void destroy_machinery();
    bool has_machinery() const { return m_impl != nullptr; }

    const std::u16string& url() const { return m_url; }
    HTTPRequestListener& listener() { return m_listener; }

    // What the answer said, for the listener of a failure: the status code (0 before
    // one was received) and whether the body went past the size the engine accepts.
    int status_code() const { return m_status_code; }
    bool body_refused() const { return m_body_refused; }
    void set_status_code(int code) { m_status_code = code; }
    void set_body_refused() { m_body_refused = true; }

private:
    std::u16string m_url;
    HTTPRequestListener& m_listener;
    std::unique_ptr<HTTPRequestImpl> m_impl;
    int m_status_code { 0 };
    bool m_body_refused { false };
};

} // namespace ombrelo
