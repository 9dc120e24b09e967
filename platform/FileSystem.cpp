#include "platform/FileSystem.h"
#include "platform/CaseFolding.h"
#include "platform/Clock.h"
#include "platform/HostPath.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

DirectoryEntry entry_of(const std::string& path)
{
    DirectoryEntry entry;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        entry.error = errno;
        return entry;
    }
    entry.attributes = S_ISDIR(st.st_mode) ? attribute_directory : attribute_archive;
    if (access(path.c_str(), W_OK) != 0)
        entry.attributes |= attribute_read_only;
    entry.size = uint64_t(st.st_size);
    entry.creation_time = host_time_to_local_count(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    entry.last_write_time = host_time_to_local_count(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return entry;
}

bool has_wildcards(std::u16string_view text)
{
    return text.find_first_of(u"*?") != std::u16string_view::npos;
}

} // namespace

DirectoryEntry find_entry(std::u16string_view native_path)
{
    size_t cut = native_path.find_last_of(u"\\/");
    std::u16string_view last = cut == std::u16string_view::npos ? native_path : native_path.substr(cut + 1);
    if (!has_wildcards(last))
        return entry_of(host_path(native_path));
    std::u16string folder(cut == std::u16string_view::npos ? u"." : native_path.substr(0, cut + 1));
    for (const auto& item : read_folder(folder)) {
        if (matches_mask(item.name, last))
            return entry_of(host_path(folder + item.name));
    }
    DirectoryEntry none;
    none.error = ENOENT;
    return none;
}

bool delete_file(std::u16string_view native_path)
{
    std::string path = host_path(native_path);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return unlink(path.c_str()) == 0;
}

bool create_directory(std::u16string_view native_path)
{
    std::string path = host_path(native_path);
    return !path.empty() && mkdir(path.c_str(), 0755) == 0;
}

bool remove_directory(std::u16string_view native_path)
{
    std::string path = host_path(native_path);
    return !path.empty() && rmdir(path.c_str()) == 0;
}

bool rename_file(std::u16string_view native_from, std::u16string_view native_to)
{
    return std::rename(host_path(native_from).c_str(), host_path(native_to).c_str()) == 0;
}

bool move_file_without_replacing(std::u16string_view native_from, std::u16string_view native_to)
{
    std::string from = host_path(native_from);
    if (::link(from.c_str(), host_path(native_to).c_str()) != 0)
        return false;
    return ::unlink(from.c_str()) == 0;
}

int lock_file(std::u16string_view native_path)
{
    int fd = ::open(host_path(native_path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    while (flock(fd, LOCK_EX) != 0)
        if (errno != EINTR) {
            ::close(fd);
            return -1;
        }
    return fd;
}

void unlock_file(int descriptor)
{
    // Closing the descriptor releases the lock.
    if (descriptor >= 0)
        ::close(descriptor);
}

bool sync_folder(std::u16string_view native_folder)
{
    std::string folder = host_path(native_folder);
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool synced = fsync(fd) == 0;
    ::close(fd);
    return synced;
}

std::vector<FolderItem> read_folder(std::u16string_view native_folder)
{
    std::vector<FolderItem> items;
    std::string folder = host_path(native_folder);
    if (folder.empty())
        folder.push_back('.');
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return items;
    while (struct dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name == "." || name == "..")
            continue;
        bool is_folder = d->d_type == DT_DIR;
        if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
            struct stat st {};
            std::string full = folder + (folder.back() == '/' ? "" : "/") + name;
            is_folder = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        items.push_back({ from_utf8(name), is_folder });
    }
    closedir(dir);
    return items;
}

bool matches_mask(std::u16string_view name, std::u16string_view mask)
{
    // Iterative wildcard match with one back-tracking point per '*'.
    size_t n = 0, m = 0, star = std::u16string_view::npos, resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == u'?' || to_lower(mask[m]) == to_lower(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == u'*') {
            star = m++;
            resume = n;
        } else if (star != std::u16string_view::npos) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

} // namespace platform
