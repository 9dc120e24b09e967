// Finds the installed font file for a face name and style through fontconfig, and holds
// the process-wide FreeType library.
#pragma once

#include <string>

typedef struct FT_LibraryRec_* FT_Library;

namespace skin {

struct FontMatch {
    std::string file;
    int index { 0 };
    std::string family; // the family that was found, which may differ from the one asked for
    bool embolden { false }; // the face is lighter than asked: thicken the outlines
    bool slant { false };    // the face is upright where italic was asked: slant the outlines
};

// False when fontconfig knows no font at all.
bool match_font(const std::string& face, bool bold, bool italic, int pixel_size, FontMatch& match);
// The FreeType library of the process; null when it cannot be started.
FT_Library freetype_library();

} // namespace skin
