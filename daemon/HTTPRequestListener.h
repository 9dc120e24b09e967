// What a request reports to, always on the daemon's main thread. The listener may
// destroy the request inside on_failed and on_success.
#pragma once

#include "daemon/ByteBuffer.h"

#include <cstdint>
#include <string_view>

namespace ombrelo {

class HTTPRequest;

class HTTPRequestListener {
public:
    virtual void on_status(HTTPRequest& request, double progress, std::u16string_view message) = 0;
    virtual void on_failed(HTTPRequest& request) = 0;
    virtual void on_success(HTTPRequest& request, const ByteBuffer& body) = 0;
    // True when the listener has taken the chunk: it is then not kept for the body.
    virtual bool on_data(HTTPRequest& request, const ByteBuffer& chunk) { return false; }
    virtual void on_header(HTTPRequest& request, std::u16string_view name, std::u16string_view value) { }
    virtual void on_content_length(HTTPRequest& request, int32_t length) { }
    virtual bool on_content_range(HTTPRequest& request, int32_t first, int32_t last, int32_t total) { return false; }
    virtual ~HTTPRequestListener() = default;
};

} // namespace ombrelo
