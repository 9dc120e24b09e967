#include "skin/text/FontMatcher.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>

namespace skin {

namespace {

std::mutex s_lock;

// fontconfig is started at the first match and finished when the process ends, so that
// what it holds is given back rather than left for the leak checker to find.
struct FontconfigSession {
    bool ready { FcInit() == FcTrue };
    ~FontconfigSession()
    {
        if (ready)
            FcFini();
    }
};

} // namespace

FT_Library freetype_library()
{
    static FT_Library library = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0)
            return FT_Library(nullptr);
        return l;
    }();
    return library;
}

bool match_font(const std::string& face, bool bold, bool italic, int pixel_size, FontMatch& match)
{
    std::lock_guard guard(s_lock);
    static FontconfigSession session;
    if (!session.ready)
        return false;
    FcPattern* pattern = FcPatternCreate();
    if (!face.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixel_size);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found)
        return false;
    FcChar8* file = nullptr;
    bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file;
    if (ok) {
        match.file = reinterpret_cast<const char*>(file);
        int index = 0;
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        match.index = index;
        FcChar8* family = nullptr;
        if (FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch && family)
            match.family = reinterpret_cast<const char*>(family);
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(found, FC_SLANT, 0, &slant);
        match.embolden = bold && weight < FC_WEIGHT_DEMIBOLD;
        match.slant = italic && slant == FC_SLANT_ROMAN;
    }
    FcPatternDestroy(found);
    return ok;
}

} // namespace skin
