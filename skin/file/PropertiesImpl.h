// The live skin object of the application, and the temporary that one load builds:
// constructed for a path, it reads and checks the file, loads every picture and creates
// every font; only a complete one is installed.
#pragma once

#include "skin/file/Properties.h"

namespace skin {

class PropertiesImpl final : public Properties {
public:
    PropertiesImpl() = default;
    PropertiesImpl(std::u16string_view path, const ScreenInfo& screen);
    PropertiesImpl(std::vector<uint8_t> image, std::u16string_view path, const ScreenInfo& screen);

    bool complete() const { return loaded(); }
    // Calls every reload listener in registration order.
    void send_reload_skin();

private:
    friend class Properties;
    void build(std::vector<uint8_t> image, std::u16string_view path, const ScreenInfo& screen);
};

} // namespace skin
