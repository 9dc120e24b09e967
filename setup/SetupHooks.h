// The four entry points the installer calls while the system is installed or removed.
// Texts are UTF-16; every hook returns 0 (continue / done).
#pragma once

extern "C" {

int Install_Init(void* parent_window, int first_call, int previously_installed, const char16_t* install_folder);
int Install_Exit(void* parent_window, const char16_t* install_folder, unsigned short failed_folders,
                 unsigned short failed_files, unsigned short failed_registry_keys,
                 unsigned short failed_registry_values, unsigned short failed_shortcuts);
int Uninstall_Init(void* parent_window, const char16_t* install_folder);
int Uninstall_Exit(void* parent_window);

}
