#include "unzip_harness.h"

#include "unzip32/src/run.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace unzip32_test {
namespace {

Unzip* active = nullptr;

std::int32_t UZ_CALL record_print(char* text, std::uint32_t length)
{
    active->check_thread();
    active->lines.emplace_back(text, length);
    return 0;
}

void UZ_CALL record_sound()
{
    active->check_thread();
    ++active->sounds;
}

std::int32_t UZ_CALL answer_replace(char* name)
{
    active->check_thread();
    active->replace_questions.emplace_back(name);
    if (active->replace_answers.empty())
        return IDM_REPLACE_NO;
    const std::int32_t answer = active->replace_answers.front();
    active->replace_answers.pop_front();
    return answer;
}

std::int32_t UZ_CALL answer_password(char* buffer, std::int32_t size, const char*, const char* name)
{
    active->check_thread();
    active->password_questions.emplace_back(name);
    if (active->passwords.empty() || !active->passwords.front()) {
        if (!active->passwords.empty())
            active->passwords.pop_front();
        return 1;
    }
    const std::string password = *active->passwords.front();
    active->passwords.pop_front();
    if (static_cast<std::int32_t>(password.size()) >= size)
        return 1;
    std::copy(password.begin(), password.end(), buffer);
    buffer[password.size()] = '\0';
    return 0;
}

void UZ_CALL record_listing(std::uint32_t size, std::uint32_t compressed_size, std::uint32_t factor,
                            std::uint32_t month, std::uint32_t day, std::uint32_t year, std::uint32_t hour,
                            std::uint32_t minute, char mark, char* name, char* method, std::uint32_t crc,
                            char encrypted)
{
    active->check_thread();
    active->listed.push_back(
        {size, compressed_size, factor, month, day, year, hour, minute, mark, name, method, crc, encrypted});
}

std::int32_t UZ_CALL record_service(const char* name, std::uint32_t)
{
    active->check_thread();
    active->serviced.emplace_back(name);
    active->lines_at_service.push_back(active->lines.size());
    return active->cancel_after >= 0 && static_cast<int>(active->serviced.size()) > active->cancel_after;
}

}  // namespace

fs::path memory_folder()
{
    std::error_code ignored;
    return fs::is_directory("/dev/shm", ignored) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

fs::path archive(const std::string& name)
{
    return fs::current_path() / "archives" / name;
}

std::string ansi(const fs::path& path)
{
#ifdef _WIN32
    const std::wstring& text = path.native();
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), needed, nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(needed) - 1);
    return bytes;
#else
    return path.string();
#endif
}

Unzip::Unzip(const fs::path& archive_path, const fs::path& folder)
    : archive_(ansi(archive_path)), folder_(ansi(folder))
{
    options.ndflag = 1;
    options.noflag = 1;
    routines.print = record_print;
    routines.sound = record_sound;
    routines.replace = answer_replace;
    routines.password = answer_password;
    routines.SendApplicationMessage = record_listing;
    routines.ServCallBk = record_service;
}

std::int32_t Unzip::run()
{
    options.lpszZipFN = archive_.data();
    options.lpszExtractDir = folder_.empty() ? nullptr : folder_.data();
    std::vector<char*> include_names;
    for (std::string& name : include)
        include_names.push_back(name.data());
    std::vector<char*> exclude_names;
    for (std::string& name : exclude)
        exclude_names.push_back(name.data());
    include_names.resize(std::max<std::size_t>(include_names.size(), 100), nullptr);
    exclude_names.resize(std::max<std::size_t>(exclude_names.size(), 100), nullptr);
    active = this;
    caller_ = std::this_thread::get_id();
    const auto include_count = static_cast<std::int32_t>(include.size());
    const auto exclude_count = static_cast<std::int32_t>(exclude.size());
    const std::int32_t status =
        workers ? unzip32::run_single_entry_unzip(include_count, include_names.data(), exclude_count,
                                                  exclude_names.data(), &options, &routines, *workers)
                : Wiz_SingleEntryUnzip(include_count, include_names.data(), exclude_count, exclude_names.data(),
                                       &options, &routines);
    active = nullptr;
    return status;
}

void Unzip::check_thread()
{
    if (!record_at_first_call)
        record_at_first_call = routines;
    if (std::this_thread::get_id() != caller_)
        ++calls_from_other_threads;
}

bool Unzip::printed(const std::string& part) const
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

std::string read_file(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void write_file(const fs::path& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> tree(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        const std::u8string relative = item.path().lexically_relative(folder).generic_u8string();
        std::string name(relative.begin(), relative.end());
        if (item.is_directory() && !item.is_symlink())
            name += '/';
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void set_modified(const fs::path& path, std::int64_t seconds)
{
    const auto since_epoch = std::chrono::sys_seconds(std::chrono::seconds(seconds));
    fs::last_write_time(path, fs::file_time_type::clock::from_sys(since_epoch));
}

std::int64_t modified(const fs::path& path)
{
    const auto time = fs::file_time_type::clock::to_sys(fs::last_write_time(path));
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

void make_read_only(const fs::path& path, bool read_only)
{
#ifdef _WIN32
    SetFileAttributesW(path.c_str(), read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    fs::permissions(path, read_only ? fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read
                                    : fs::perms::owner_read | fs::perms::owner_write);
#endif
}

#ifdef _WIN32
std::uint64_t peak_memory_growth(const std::function<void()>& work)
{
    PROCESS_MEMORY_COUNTERS before{};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    work();
    PROCESS_MEMORY_COUNTERS after{};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    // The peak cannot be reset here: a peak reached before `work` counts too, which only errs high.
    return after.PeakWorkingSetSize > before.WorkingSetSize ? after.PeakWorkingSetSize - before.WorkingSetSize : 0;
}
#else
namespace {

// A "Vm...:" line of /proc/self/status, in bytes.
std::uint64_t process_status(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stoull(line.substr(field.size() + 1)) * 1024;
    }
    throw std::runtime_error("no " + field + " in /proc/self/status");
}

}  // namespace

std::uint64_t peak_memory_growth(const std::function<void()>& work)
{
    // Writing 5 there starts the peak afresh from what the process holds now.
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::uint64_t before = process_status("VmRSS");
    work();
    const std::uint64_t peak = process_status("VmHWM");
    return peak > before ? peak - before : 0;
}
#endif

}  // namespace unzip32_test
