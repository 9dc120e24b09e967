// Any bytes given to the bitmap reader give a picture or none, and a picture has the
// pixels its size says.
#include "skin/file/Load565.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    skin::SharedPicture picture = skin::decode_565(data, size, u"fuzz.bmp");
    if (!picture)
        return 0;
    skin::PixelBuffer pixels = picture->pixels();
    unsigned sum = 0;
    for (int y = 0; y < pixels.height; ++y)
        sum += pixels.at(pixels.width - 1, y) + pixels.at(0, y);
    if (pixels.width <= 0 || pixels.height <= 0)
        std::abort();
    return int(sum & 0);
}
