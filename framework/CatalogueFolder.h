// One folder of files the user chooses among by name (languages, skins): the listing of
// one extension directly in the folder, and the file a name stands for. File names
// differed only in case on the original platform, so a name finds its file whatever
// the case of either.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace framework {

class CatalogueFolder {
public:
    // A folder path with macros and an extension with its dot (".lng").
    CatalogueFolder(std::u16string_view folder, std::u16string_view extension);

    // The expanded paths of the matching files in the file system's order.
    std::vector<std::u16string> paths() const;
    // The expanded path of the named file: the file of exactly that name when there is
    // one, else the first listed whose name differs only in case, else the exact path (a
    // load of it then fails). Empty for a name with a path separator (it could leave
    // the folder) or a wildcard.
    std::u16string path_of(std::u16string_view name) const;

    // A file's name: the file name without folder and extension.
    static std::u16string name_of(std::u16string_view path);
    // Names compared in upper case.
    static bool same_name(std::u16string_view a, std::u16string_view b);

private:
    std::u16string m_folder; // expanded
    std::u16string m_extension;
};

} // namespace framework
