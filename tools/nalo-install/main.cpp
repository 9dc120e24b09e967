// nalo-install: stands in for the device's cabinet installer. It copies a program
// folder into an install folder and calls the installed setup.so's hooks; with
// --uninstall it calls the removal hooks and removes the files it had installed.
#include "runtime/CommandLine.h"

#include "platform/TextEncoding.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* manifest_name = ".nalo-installed";

using InstallInit = int (*)(void*, int, int, const char16_t*);
using InstallExit = int (*)(void*, const char16_t*, unsigned short, unsigned short, unsigned short, unsigned short,
                            unsigned short);
using UninstallInit = int (*)(void*, const char16_t*);
using UninstallExit = int (*)(void*);

const runtime::CommandLine command_line(
    "nalo-install",
    "usage:\n"
    "  nalo-install PROGRAM_FOLDER INSTALL_FOLDER   copy the programs, then run the install hooks\n"
    "  nalo-install --uninstall INSTALL_FOLDER      run the removal hooks and remove the installed files\n"
    "  nalo-install --help | --version\n"
    "Exit status: 0 done, 1 a hook failed, 2 bad arguments or the files could not be copied.\n");

int fail(const std::string& message)
{
    return command_line.fail(message);
}

void* load_hooks(const fs::path& folder, std::string& error)
{
    fs::path library = folder / "setup.so";
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        error = std::string("cannot load ") + library.string() + ": " + dlerror();
    return handle;
}

template<typename T>
T hook(void* library, const char* name)
{
    return reinterpret_cast<T>(dlsym(library, name));
}

// Run-time state of an installation is not part of the program folder.
bool is_run_time_state(const fs::path& relative)
{
    std::string first = relative.begin()->string();
    return first == "downloads" || first == "settings.xml" || first == manifest_name;
}

int install(const fs::path& from, const fs::path& to_given)
{
    std::error_code ec;
    if (!fs::is_directory(from, ec))
        return fail("not a program folder: " + from.string());
    fs::create_directories(to_given, ec);
    if (ec)
        return fail("cannot create " + to_given.string() + ": " + ec.message());
    fs::path to = fs::canonical(to_given);
    std::vector<std::string> installed;
    for (auto it = fs::recursive_directory_iterator(from, ec); it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec)
            return fail("cannot read " + from.string() + ": " + ec.message());
        fs::path relative = fs::relative(it->path(), from);
        if (is_run_time_state(relative)) {
            if (it->is_directory())
                it.disable_recursion_pending();
            continue;
        }
        fs::path target = to / relative;
        if (it->is_directory()) {
            fs::create_directories(target, ec);
        } else {
            fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing, ec);
            if (ec)
                return fail("cannot copy " + it->path().string() + ": " + ec.message());
        }
        installed.push_back(relative.string() + (it->is_directory() ? "/" : ""));
    }
    std::ofstream manifest(to / manifest_name);
    for (const auto& line : installed)
        manifest << line << '\n';
    manifest.close();
    if (!manifest)
        return fail("cannot write the list of installed files");

    std::string error;
    void* library = load_hooks(to, error);
    if (!library)
        return fail(error);
    auto init = hook<InstallInit>(library, "Install_Init");
    auto exit = hook<InstallExit>(library, "Install_Exit");
    if (!init || !exit)
        return fail("setup.so lacks Install_Init or Install_Exit");
    std::u16string folder = platform::from_utf8(to.string());
    int rc = init(nullptr, 1, 0, folder.c_str());
    if (rc == 0)
        rc = exit(nullptr, folder.c_str(), 0, 0, 0, 0, 0);
    std::printf("installed %zu entries into %s\n", installed.size(), to.c_str());
    return rc == 0 ? 0 : 1;
}

int uninstall(const fs::path& given)
{
    std::error_code ec;
    if (!fs::is_directory(given, ec))
        return fail("not an install folder: " + given.string());
    fs::path to = fs::canonical(given);
    std::ifstream manifest(to / manifest_name);
    if (!manifest)
        return fail("no installation found in " + to.string());
    std::vector<std::string> installed;
    for (std::string line; std::getline(manifest, line);)
        if (!line.empty())
            installed.push_back(line);

    std::string error;
    void* library = load_hooks(to, error);
    if (!library)
        return fail(error);
    auto init = hook<UninstallInit>(library, "Uninstall_Init");
    auto exit = hook<UninstallExit>(library, "Uninstall_Exit");
    if (!init || !exit)
        return fail("setup.so lacks Uninstall_Init or Uninstall_Exit");
    std::u16string folder = platform::from_utf8(to.string());
    int rc = init(nullptr, folder.c_str());

    // Files first, then the folders that are empty, deepest first.
    for (const auto& entry : installed)
        if (entry.back() != '/')
            fs::remove(to / entry, ec);
    for (auto it = installed.rbegin(); it != installed.rend(); ++it)
        if (it->back() == '/' && fs::is_empty(to / *it, ec))
            fs::remove(to / *it, ec);
    fs::remove(to / manifest_name, ec);
    if (fs::is_empty(to, ec))
        fs::remove(to, ec);

    int rc_exit = exit(nullptr);
    std::printf("removed the installation in %s\n", to.c_str());
    return rc == 0 && rc_exit == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return command_line.usage_error();
    if (auto code = command_line.answer(argv[1]))
        return *code;
    std::string first = argv[1];
    if (first == "--uninstall") {
        if (argc != 3)
            return fail("--uninstall takes INSTALL_FOLDER");
        return uninstall(argv[2]);
    }
    for (int i = 1; i < argc; ++i)
        if (runtime::CommandLine::is_option(argv[i]))
            return command_line.unknown_option(argv[i]);
    if (argc != 3)
        return fail("takes PROGRAM_FOLDER INSTALL_FOLDER; see nalo-install --help");
    return install(argv[1], argv[2]);
}
