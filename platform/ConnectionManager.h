// The binding to the platform's connection manager, library "cellcore.dll" (on Linux
// libcellcore.so on the normal library path), which brings up a data connection before
// the network is used. Plain Linux machines have none; the connection stage is then
// skipped. Every entry point returns a result code that is negative on failure.
#pragma once

#include "platform/Library.h"

#include <cstdint>

namespace platform {

using ConnectionHandle = void*;

// The connection request, laid out in 64 bytes as the library reads it.
struct ConnectionInfo {
    uint32_t size { 64 };
    uint32_t params { 0 };
    uint32_t flags { 0 };
    uint32_t priority { 0 };
    uint32_t exclusive { 0 };
    uint32_t disabled { 0 };
    uint8_t destination[16] {};
    uint32_t window { 0 };
    uint32_t message { 0 };
    uint32_t message_parameter { 0 };
    uint32_t max_cost { 0 };
    uint32_t min_receive_bandwidth { 0 };
    uint32_t max_connection_latency { 0 };
};
static_assert(sizeof(ConnectionInfo) == 64, "the connection manager reads a 64-byte request");

constexpr uint32_t connection_connected = 0x10;
constexpr uint32_t connection_disconnected = 0x20;

class ConnectionManager {
public:
    using Establish = int32_t (*)(const ConnectionInfo* info, ConnectionHandle* connection);
    using Status = int32_t (*)(ConnectionHandle connection, uint32_t* status);
    using Release = int32_t (*)(ConnectionHandle connection, int32_t cache_seconds);

    // Loads the library and looks its entry points up; false when it is not there.
    bool load();
    bool loaded() const { return m_library.is_open(); }
    bool has_establish() const { return m_establish != nullptr; }
    bool has_status() const { return m_status != nullptr; }
    bool has_release() const { return m_release != nullptr; }
    // The connection stage needs all three entry points.
    bool complete() const { return m_establish && m_status && m_release; }

    int32_t establish(const ConnectionInfo& info, ConnectionHandle& connection) const;
    int32_t status(ConnectionHandle connection, uint32_t& status) const;
    int32_t release(ConnectionHandle connection, int32_t cache_seconds) const;

private:
    Library m_library;
    Establish m_establish { nullptr };
    Status m_status { nullptr };
    Release m_release { nullptr };
};

} // namespace platform
