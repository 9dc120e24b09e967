// A stand-in for the connection manager library, for the daemon's tests. Its answer
// comes from NALO_FAKE_CELLCORE: "connected", "disconnected", "fail" (the connection
// cannot be made) or "poll:N" (N answers of neither state, then connected).
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::atomic<int> s_establish { 0 };
std::atomic<int> s_status { 0 };
std::atomic<int> s_release { 0 };
std::atomic<uint32_t> s_last_size { 0 };
int s_token = 0;

std::string mode()
{
    const char* m = std::getenv("NALO_FAKE_CELLCORE");
    return m ? m : "connected";
}

} // namespace

extern "C" {

int32_t ConnMgrEstablishConnection(const uint32_t* info, void** connection)
{
    ++s_establish;
    s_last_size = info[0];
    if (mode() == "fail")
        return -2147467259; // E_FAIL
    *connection = &s_token;
    return 0;
}

int32_t ConnMgrConnectionStatus(void* connection, uint32_t* status)
{
    int call = ++s_status;
    std::string m = mode();
    if (m == "disconnected")
        *status = 0x20;
    else if (m.rfind("poll:", 0) == 0)
        *status = call > std::atoi(m.c_str() + 5) ? 0x10 : 0x01;
    else
        *status = connection == &s_token ? 0x10 : 0x20;
    return 0;
}

int32_t ConnMgrReleaseConnection(void*, int32_t)
{
    ++s_release;
    return 0;
}

int fake_cellcore_calls(int which)
{
    switch (which) {
    case 0:
        return s_establish;
    case 1:
        return s_status;
    case 2:
        return s_release;
    default:
        return int(s_last_size);
    }
}

void fake_cellcore_reset()
{
    s_establish = s_status = s_release = 0;
    s_last_size = 0;
}

} // extern "C"
