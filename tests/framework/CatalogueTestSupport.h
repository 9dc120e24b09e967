// A program folder for the catalogue tests: language files, compiled skins in
// skins/bin, and the choice in the registry under a test application's key.
#pragma once

#include <string>

namespace catalogue_test {

// A fresh program folder under the test binary's temp folder.
std::string program_folder(const std::string& name);
void write_language(const std::string& path, const std::string& lines);
// Compiles a skin whose form "f" is one fill of the colour ("R G B") into folder/skins/bin.
void write_skin(const std::string& folder, const std::string& name, const std::string& colour);
// The same skin with a picture, which is then deleted: the skin cannot load.
void write_broken_skin(const std::string& folder, const std::string& name);

// The choice under "HKEY_CURRENT_USER\Software\NALO\" + application; empty when missing.
std::u16string read_choice(const std::u16string& application, const std::u16string& name);
void write_choice(const std::u16string& application, const std::u16string& name, const std::u16string& value);
void clear_choices(const std::u16string& application);

// Pins the locale the system language comes from.
void set_locale(const char* lc_all, const char* lc_messages, const char* lang);

} // namespace catalogue_test
