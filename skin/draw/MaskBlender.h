// Blends a picture through a mask picture of the same size. The runs it gets point into
// the source picture; the mask pixel of a source pixel lies at the same byte offset in the
// mask, which is why the mask must have the source's size.
#pragma once

#include "skin/draw/Blender.h"
#include "skin/draw/PixelBuffer.h"

namespace skin {

class MaskBlender final : public Blender {
public:
    MaskBlender(const PixelBuffer& source, const PixelBuffer& mask);

    BlenderPtr clone() const override { return std::make_unique<MaskBlender>(*this); }
    void copy_run(Pixel* target, const Pixel* source, int count) const override;
    void copy_stepped(Pixel* target, const Pixel* source, int count, int position, int step) const override;
    void copy_shifted(Pixel* target, const Pixel* source, int count, int start, int shift) const override;
    void copy_tiled(Pixel* target, const Pixel* source, int count, int start, int shift, int end, int restart) const override;

    // The weighted mix of one pixel: weight 0..63 from the mask's green channel.
    static Pixel mix(Pixel s, Pixel d, Pixel m);

private:
    Pixel mask_of(const Pixel* source) const;

    const uint8_t* m_source_begin;
    const uint8_t* m_source_end;
    const uint8_t* m_mask_begin;
};

} // namespace skin
