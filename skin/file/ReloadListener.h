// Told after a new skin has been installed, so that node trees built from the old one
// are built again.
#pragma once

namespace skin {

class Properties;

class ReloadListener {
public:
    virtual ~ReloadListener() = default;
    virtual void reload(Properties& properties) = 0;
};

} // namespace skin
