// Checks a whole skin file image before anything reads it: every offset, count, bound
// and index must stay inside the image and its tables, and node trees must be finite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace skin {

struct SkinImageTexts {
    // The name block's texts: picture names, font descriptions, strings.
    std::vector<std::u16string> pictures, fonts, strings;
    // Where each picture attribute's entry starts, for the checks that need the pictures.
    std::vector<size_t> picture_entries;
};

// A skin whose named node would build more nodes than this, or nest deeper, is refused.
constexpr size_t max_tree_nodes = 200000;
constexpr int max_tree_depth = 200;

// False when the image breaks any rule; the texts are filled on success.
bool check_skin_image(const uint8_t* image, size_t size, SkinImageTexts& texts);

} // namespace skin
