#include "platform/ConnectionManager.h"

namespace platform {

bool ConnectionManager::load()
{
    if (!m_library.open(u"cellcore.dll"))
        return false;
    m_establish = reinterpret_cast<Establish>(m_library.symbol("ConnMgrEstablishConnection"));
    m_status = reinterpret_cast<Status>(m_library.symbol("ConnMgrConnectionStatus"));
    m_release = reinterpret_cast<Release>(m_library.symbol("ConnMgrReleaseConnection"));
    return true;
}

int32_t ConnectionManager::establish(const ConnectionInfo& info, ConnectionHandle& connection) const
{
    return m_establish ? m_establish(&info, &connection) : -1;
}

int32_t ConnectionManager::status(ConnectionHandle connection, uint32_t& status) const
{
    return m_status ? m_status(connection, &status) : -1;
}

int32_t ConnectionManager::release(ConnectionHandle connection, int32_t cache_seconds) const
{
    return m_release ? m_release(connection, cache_seconds) : -1;
}

} // namespace platform
