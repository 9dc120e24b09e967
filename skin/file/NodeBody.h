// A node body inside the file image of the loaded skin. Nodes read their attributes
// from it through the getters of Properties; a null body is "no node".
#pragma once

#include <cstdint>

namespace skin {

class NodeBody {
public:
    NodeBody() = default;
    explicit NodeBody(const uint8_t* data)
        : m_data(data)
    {
    }
    explicit operator bool() const { return m_data != nullptr; }
    const uint8_t* data() const { return m_data; }
    friend bool operator==(NodeBody, NodeBody) = default;

private:
    const uint8_t* m_data { nullptr };
};

} // namespace skin
