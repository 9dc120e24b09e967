#include "framework/FrameRecorder.h"

#include "framework/BitmapFile.h"

#include "platform/HostPath.h"
#include "skin/draw/Blenders.h"
#include "skin/draw/Drawing.h"
#include "skin/file/Load565.h"

#include <minizip/zip.h>

#include <cstdio>
#include <cstring>

namespace framework {

namespace {

constexpr const char* comment = "no comment";

} // namespace

FrameRecorder::~FrameRecorder() { close(); }

bool FrameRecorder::start(std::u16string_view pointer_picture, std::u16string_view archive)
{
    close();
    m_pointer = skin::load_565(pointer_picture);
    if (!m_pointer)
        return false;
    std::string path = platform::host_path(archive);
    std::remove(path.c_str());
    m_zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    m_frames = 0;
    return m_zip != nullptr;
}

bool FrameRecorder::add(const skin::PixelBuffer& frame, skin::Point pointer)
{
    if (!m_zip)
        return false;
    m_copy.recreate(frame.width, frame.height);
    const skin::PixelBuffer& copy = m_copy.buffer();
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(copy.row(y), frame.row(y), size_t(frame.width) * sizeof(skin::Pixel));
    skin::PixelBuffer picture = m_pointer->pixels();
    skin::RenderSurface pointer_surface(picture);
    static const skin::BlenderPtr keyed = skin::make_level_blender(0);
    skin::blit(m_copy, pointer, pointer_surface, *keyed);

    std::vector<uint8_t> bitmap = bitmap_file_565(copy);
    char name[16];
    std::snprintf(name, sizeof name, "%05d.bmp", m_frames);
    zip_fileinfo info;
    std::memset(&info, 0, sizeof info);
    if (zipOpenNewFileInZip(m_zip, name, &info, nullptr, 0, nullptr, 0, comment, Z_DEFLATED, Z_DEFAULT_COMPRESSION) != ZIP_OK)
        return false;
    bool written = zipWriteInFileInZip(m_zip, bitmap.data(), unsigned(bitmap.size())) == ZIP_OK;
    written = zipCloseFileInZip(m_zip) == ZIP_OK && written;
    ++m_frames;
    return written;
}

void FrameRecorder::close()
{
    if (m_zip)
        zipClose(m_zip, comment);
    m_zip = nullptr;
}

} // namespace framework
