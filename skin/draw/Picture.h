// A picture of the skin: 565 pixels loaded from a 16-bit bitmap file, shared by reference
// count between the skin's picture table, PictureRef values and nodes.
#pragma once

#include "skin/draw/PixelBuffer.h"

#include <memory>
#include <vector>

namespace skin {

class Picture {
public:
    Picture(int width, int height)
        : m_width(width)
        , m_height(height)
        , m_pitch(PixelBuffer::pitch_for(width))
        , m_bytes(size_t(m_pitch) * size_t(height))
    {
    }
    int width() const { return m_width; }
    int height() const { return m_height; }
    PixelBuffer pixels() const { return { m_width, m_height, m_pitch, const_cast<uint8_t*>(m_bytes.data()) }; }

private:
    int m_width;
    int m_height;
    int m_pitch;
    std::vector<uint8_t> m_bytes;
};

using SharedPicture = std::shared_ptr<const Picture>;

} // namespace skin
