// nalo-install: stands in for the device's cabinet installer. It copies a program
// folder into an install folder and calls the installed setup.so's hooks; with
// --uninstall it calls the removal hooks and removes the files it had installed.
// Installing over an earlier installation upgrades it: files are replaced by renaming
// (a program running from the folder keeps its old copy), files the new program folder
// no longer has are removed, and the run-time state stays.
#include "runtime/CommandLine.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* manifest_name = ".nalo-installed";
// The program folder's version marker: copied last, once the hooks have run, so that an
// installation that stopped half-way never looks complete.
constexpr const char* version_name = "version";

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
    "Installing over an earlier installation upgrades it: settings.xml and downloads/ stay,\n"
    "files the program folder no longer has are removed, the file \"version\" is copied last.\n"
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

// A manifest line names an entry inside the install folder, never a way out of it.
bool is_safe_entry(const std::string& entry)
{
    fs::path path(entry);
    if (entry.empty() || path.is_absolute())
        return false;
    for (const auto& part : path)
        if (part == "..")
            return false;
    return !is_run_time_state(path);
}

// What an earlier installation recorded; empty when there was none.
std::vector<std::string> read_manifest(const fs::path& folder, bool& found)
{
    std::vector<std::string> entries;
    std::ifstream manifest(folder / manifest_name);
    found = bool(manifest);
    for (std::string line; std::getline(manifest, line);)
        if (is_safe_entry(line))
            entries.push_back(line);
    return entries;
}

// Copies beside the target and renames over it: a program running from the folder keeps
// its old file, and the target is never half written.
bool replace_file(const fs::path& from, const fs::path& target, std::string& error)
{
    std::error_code ec;
    fs::path temporary = target;
    temporary += ".nalo-new-" + std::to_string(getpid());
    fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = "cannot copy " + from.string() + " to " + target.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool write_manifest(const fs::path& folder, const std::vector<std::string>& entries)
{
    fs::path temporary = folder / (std::string(manifest_name) + ".new");
    std::ofstream manifest(temporary);
    for (const auto& line : entries)
        manifest << line << '\n';
    manifest.close();
    std::error_code ec;
    if (manifest)
        fs::rename(temporary, folder / manifest_name, ec);
    if (!manifest || ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

// Files first, then the folders left empty, deepest first; run-time state and anything
// the user put into a folder stay.
void remove_entries(const fs::path& folder, const std::vector<std::string>& entries)
{
    std::error_code ec;
    for (const auto& entry : entries)
        if (entry.back() != '/' && !fs::is_directory(folder / entry, ec))
            fs::remove(folder / entry, ec);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->back() == '/' && fs::is_empty(folder / *it, ec))
            fs::remove(folder / *it, ec);
}

int install(const fs::path& from, const fs::path& to_given)
{
    std::error_code ec;
    if (!fs::is_directory(from, ec))
        return fail("not a program folder: " + from.string());
    // Installing into the program folder itself, or below it, would copy the copies.
    fs::path source = fs::canonical(from, ec);
    fs::path to = ec ? fs::path() : fs::weakly_canonical(to_given, ec);
    if (ec)
        return fail("cannot resolve " + to_given.string() + ": " + ec.message());
    if (std::mismatch(source.begin(), source.end(), to.begin(), to.end()).first == source.end())
        return fail("the install folder " + to.string() + " is inside the program folder " + source.string());
    fs::create_directories(to, ec);
    if (ec)
        return fail("cannot create " + to_given.string() + ": " + ec.message());
    bool upgrade = false;
    std::vector<std::string> earlier = read_manifest(to, upgrade);

    std::vector<std::string> installed;
    fs::path version_file;
    std::string error;
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
            if (ec)
                return fail("cannot create " + target.string() + ": " + ec.message());
        } else if (relative == version_name) {
            version_file = it->path();
        } else if (!replace_file(it->path(), target, error)) {
            return fail(error);
        }
        installed.push_back(relative.string() + (it->is_directory() ? "/" : ""));
    }

    // What the earlier version had and this one lacks.
    std::vector<std::string> stale;
    for (const auto& entry : earlier)
        if (std::find(installed.begin(), installed.end(), entry) == installed.end())
            stale.push_back(entry);
    remove_entries(to, stale);
    if (!write_manifest(to, installed))
        return fail("cannot write the list of installed files");

    void* library = load_hooks(to, error);
    if (!library)
        return fail(error);
    auto init = hook<InstallInit>(library, "Install_Init");
    auto exit = hook<InstallExit>(library, "Install_Exit");
    if (!init || !exit)
        return fail("setup.so lacks Install_Init or Install_Exit");
    std::u16string folder = platform::from_utf8(to.string());
    int rc = init(nullptr, 1, upgrade ? 1 : 0, folder.c_str());
    if (rc == 0)
        rc = exit(nullptr, folder.c_str(), 0, 0, 0, 0, 0);
    if (rc != 0) {
        std::fprintf(stderr, "nalo-install: the install hooks of %s failed (%d)\n", to.c_str(), rc);
        return 1;
    }
    if (!version_file.empty() && !replace_file(version_file, to / version_name, error))
        return fail(error);
    std::printf("%s %zu entries into %s\n", upgrade ? "updated" : "installed", installed.size(), to.c_str());
    return 0;
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
    manifest.close();
    bool found = false;
    std::vector<std::string> installed = read_manifest(to, found);

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

    remove_entries(to, installed);
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
