// The skin engine's exceptions: a skin that does not match the program. They are not
// caught inside the engine.
#pragma once

#include "platform/TextEncoding.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace plexor {

class NodeNotFoundInSkin : public std::runtime_error {
public:
    explicit NodeNotFoundInSkin(std::u16string_view name)
        : std::runtime_error("node not found in skin: " + platform::to_utf8(name))
        , m_name(name)
    {
    }
    const std::u16string& name() const { return m_name; }

private:
    std::u16string m_name;
};

class NodeNotFound : public std::runtime_error {
public:
    NodeNotFound(std::u16string_view parent_id, std::u16string_view id)
        : std::runtime_error("node not found: " + platform::to_utf8(id) + " in " + platform::to_utf8(parent_id))
        , m_parent_id(parent_id)
        , m_id(id)
    {
    }
    const std::u16string& parent_id() const { return m_parent_id; }
    const std::u16string& id() const { return m_id; }

private:
    std::u16string m_parent_id;
    std::u16string m_id;
};

class NodeNotRegistered : public std::runtime_error {
public:
    explicit NodeNotRegistered(std::u16string_view type)
        : std::runtime_error("node type not registered: " + platform::to_utf8(type))
        , m_type(type)
    {
    }
    const std::u16string& type() const { return m_type; }

private:
    std::u16string m_type;
};

class NodeAlreadyRegistered : public std::runtime_error {
public:
    explicit NodeAlreadyRegistered(std::u16string_view type)
        : std::runtime_error("node type already registered: " + platform::to_utf8(type))
        , m_type(type)
    {
    }
    const std::u16string& type() const { return m_type; }

private:
    std::u16string m_type;
};

} // namespace plexor
