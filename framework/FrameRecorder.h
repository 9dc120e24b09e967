// The diagnostic frame recorder: when the picture "/Temp/NaloRecordPicture.bmp" loads, it
// becomes the pointer picture and every frame, with the pointer drawn at the last
// pointer position, goes into the zip archive "/Temp/" + the application name + ".zip"
// (an older one is replaced) as "00000.bmp", "00001.bmp" and so on: 16-bit bitmaps,
// deflated at the default level, each with the comment "no comment", as is the archive.
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/draw/Picture.h"
#include "skin/draw/PixelBuffer.h"
#include "skin/draw/RenderSurface.h"

#include <string>
#include <string_view>

namespace framework {

class FrameRecorder {
public:
    FrameRecorder() = default;
    ~FrameRecorder();
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;

    // Starts when the pointer picture loads and the archive can be created; both paths
    // are native ("/Temp/..." lies in the temp folder).
    bool start(std::u16string_view pointer_picture, std::u16string_view archive);
    bool active() const { return m_zip != nullptr; }
    // One frame with the pointer at the point; false when the entry could not be written.
    bool add(const skin::PixelBuffer& frame, skin::Point pointer);
    // Closes the archive with its comment.
    void close();
    int frame_count() const { return m_frames; }

private:
    void* m_zip { nullptr };
    skin::SharedPicture m_pointer;
    skin::RenderSurface m_copy;
    int m_frames { 0 };
};

} // namespace framework
