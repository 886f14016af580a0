#include "extraction.h"

#include "native_text.h"

namespace unzip32 {
namespace {

std::string refusal_text(NameRefusal refusal)
{
    switch (refusal) {
    case NameRefusal::colon:
        return "its name holds a ':', which Windows takes for a stream";
    case NameRefusal::device_name:
        return "its name is one that Windows reserves for a device";
    default:
        return "nothing is left of its name once made safe";
    }
}

std::string change_text(const SafeName& name)
{
    if (name.replaced_characters)
        return "without characters Windows does not allow";
    if (name.removed_root || name.removed_parents)
        return "without its leading path";
    return "without the last part of its name, which names no file";
}

}  // namespace

Extraction::Extraction(const RunContext& run, const NativeString& archive_path,
                       const std::vector<std::uint64_t>& data_offsets, unsigned workers)
    : run_(run),
      data_offsets_(data_offsets),
      target_(usable_folder_path(native_from_ansi(run.options.folder))),
      replace_policy_(run.options, run.callbacks),
      writes_(run, archive_path, workers)
{
}

bool Extraction::prepare_target()
{
    if (make_folder_tree(target_))
        return true;
    run_.messages.say(MessageKind::warning,
                      "error: the folder " + utf8_from_ansi(run_.options.folder) + " cannot be created");
    run_.status.note(UZ_DISK_FULL);
    return false;
}

void Extraction::extract(const EntryInfo& entry)
{
    if (entry.is_symbolic_link) {
        run_.messages.say(MessageKind::warning, "warning: " + entry.name + " is a symbolic link and was skipped");
        run_.status.note(UZ_WARNING);
        return;
    }
    const SafeName name = make_safe_name(entry.name, run_.options.name_rules, entry.is_folder);
    if (name.refusal != NameRefusal::none) {
        // A folder entry that names the target itself, or that the options flatten away, is simply
        // not wanted; anything else that is lost is said.
        if (name.refusal == NameRefusal::empty && !name.changed())
            return;
        run_.messages.say(MessageKind::warning, "warning: " + entry.name + " was skipped: " + refusal_text(name.refusal));
        run_.status.note(UZ_WARNING);
        return;
    }
    if (name.changed()) {
        run_.messages.say(MessageKind::warning, "warning: " + entry.name + " is written as " + name.joined() + ", " +
                                                    change_text(name));
        run_.status.note(UZ_WARNING);
    }
    const NativeString path = path_of(name);
    writes_.wait_for_writes_on_the_way_to(path);
    // Such a path cannot be handed to the system at all: its folders are not made in vain.
    if (path.size() > longest_path) {
        run_.messages.say(MessageKind::warning, "error: " + name.joined() +
                                                    " cannot be written: its path is longer than the system allows");
        run_.status.note(UZ_DISK_FULL);
        return;
    }
    if (name.is_folder)
        extract_folder(name);
    else
        extract_file(entry, name);
}

NativeString Extraction::path_of(const SafeName& name) const
{
    NativeString path = target_;
    for (const std::string& component : name.components)
        append_component(path, native_from_utf8(component));
    return path;
}

Extraction::Folder Extraction::folder_for(const SafeName& name, std::size_t depth)
{
    NativeString path = target_;
    std::size_t known = 0;
    for (; known < depth && known < ready_folders_.size(); ++known) {
        NativeString component = native_from_utf8(name.components[known]);
        if (component != ready_folders_[known])
            break;
        append_component(path, component);
    }
    if (known < depth)
        ready_folders_.resize(known);
    for (std::size_t i = known; i < depth; ++i) {
        NativeString component = native_from_utf8(name.components[i]);
        append_component(path, component);
        const FileInfo info = file_info(path);
        if (info.is_link)
            return {std::nullopt, true};
        if (info.exists ? !info.is_folder : !make_folder(path))
            return {};
        ready_folders_.push_back(std::move(component));
    }
    return {path};
}

void Extraction::extract_folder(const SafeName& name)
{
    const std::string shown = name.joined();
    const Folder folder = folder_for(name, name.components.size());
    if (folder.path) {
        run_.messages.say(MessageKind::progress, "  folder: " + shown);
        run_.status.note_handled();
    } else if (folder.is_link) {
        run_.messages.say(MessageKind::warning, "warning: " + shown + " was skipped: a link is in the way");
        run_.status.note(UZ_WARNING);
    } else {
        run_.messages.say(MessageKind::warning, "error: the folder " + shown + " cannot be created");
        run_.status.note(UZ_DISK_FULL);
    }
}

void Extraction::extract_file(const EntryInfo& entry, const SafeName& name)
{
    const std::string shown = name.joined();
    const Folder folder = folder_for(name, name.components.size() - 1);
    if (!folder.path) {
        run_.messages.say(MessageKind::warning, folder.is_link ? "warning: " + shown + " was skipped: a link is in the way"
                                                               : "error: the folder for " + shown + " cannot be created");
        run_.status.note(folder.is_link ? UZ_WARNING : UZ_DISK_FULL);
        return;
    }
    const NativeString path = join_path(*folder.path, native_from_utf8(name.components.back()));
    const FileInfo on_disk = file_info(path);

    // The caller's answers come in the archive's order, after all it has heard of earlier entries.
    if (on_disk.exists && run_.options.prompt_to_overwrite && !run_.options.overwrite_always)
        writes_.settle();
    const ReplaceVerdict verdict = replace_policy_.decide(on_disk, entry.modified, shown_path(shown));
    if (!verdict.write) {
        if (verdict.warn) {
            run_.messages.say(MessageKind::warning, "warning: " + shown + ": " + verdict.reason);
            run_.status.note(UZ_WARNING);
        } else {
            run_.messages.say(MessageKind::progress, "  skipped: " + shown + " (" + verdict.reason + ")");
        }
        return;
    }
    if (on_disk.is_folder || on_disk.read_only) {
        run_.messages.say(MessageKind::warning, "error: " + shown + " cannot be replaced: " +
                                                    (on_disk.is_folder ? "a folder has its name" : "the file is read-only"));
        run_.status.note(UZ_DISK_FULL);
        return;
    }
    if (!fits_on_disk(entry, *folder.path, shown))
        return;

    std::optional<std::string> password;
    if (entry.encrypted()) {
        writes_.settle();
        password = password_for(entry, shown);
        if (!password)
            return;
    }
    std::optional<std::uint64_t> data_offset;
    if (entry.index < data_offsets_.size())
        data_offset = data_offsets_[entry.index];
    writes_.submit({entry, data_offset, *folder.path, path, std::move(password)},
                   [this, shown, replaced = on_disk.exists](const WriteResult& result) {
                       report_write(result, shown, replaced);
                   });
}

// Refused before a byte is written: a file that cannot fit would only fill the disk.
bool Extraction::fits_on_disk(const EntryInfo& entry, const NativeString& folder, const std::string& shown)
{
    std::optional<std::uint64_t> room = free_space(folder);
    // Files still being written will take room that the disk still shows free: when this one may
    // not fit beside them, they are let finish and the disk asked again.
    const std::uint64_t in_flight = writes_.bytes_in_flight();
    if (room && in_flight > 0 && (entry.size > *room || in_flight > *room - entry.size)) {
        writes_.settle();
        room = free_space(folder);
    }
    if (!room || entry.size <= *room)
        return true;
    run_.messages.say(MessageKind::warning, "error: " + shown + " was not written: it needs " +
                                                std::to_string(entry.size) + " bytes, the disk has " +
                                                std::to_string(*room) + " free");
    run_.status.note(UZ_DISK_FULL);
    return false;
}

void Extraction::report_write(const WriteResult& result, const std::string& shown, bool replaced)
{
    switch (result.outcome) {
    case WriteOutcome::read_failed:
        report_failure(result.read, shown);
        return;
    case WriteOutcome::not_created:
    case WriteOutcome::not_committed:
        run_.messages.say(MessageKind::warning, "error: " + shown + " cannot be written");
        run_.status.note(UZ_DISK_FULL);
        return;
    case WriteOutcome::written:
        break;
    }
    run_.messages.say(MessageKind::progress, (replaced ? "  replaced: " : "  extracted: ") + shown);
    run_.status.note_handled();
}

std::optional<std::string> Extraction::password_for(const EntryInfo& entry, const std::string& shown)
{
    if (!zip_encryption_method_supported(entry.encryption, 0)) {
        report_failure({ReadOutcome::unsupported, "its encryption method is not supported"}, shown);
        return std::nullopt;
    }
    auto password = run_.callbacks.ask_password(entry.name);
    if (!password) {
        run_.messages.say(MessageKind::warning, "warning: " + shown + " is encrypted and was skipped: no password");
        run_.status.note(UZ_WARNING);
    }
    return password;
}

void Extraction::report_failure(const ReadResult& result, const std::string& shown)
{
    switch (result.outcome) {
    case ReadOutcome::unsupported:
        run_.status.note_unsupported();
        break;
    case ReadOutcome::wrong_password:
        run_.status.note(UZ_BAD_PASSWORD);
        break;
    case ReadOutcome::sink_failed:
        run_.messages.say(MessageKind::warning, "error: " + shown + " cannot be written (is the disk full?)");
        run_.status.note(UZ_DISK_FULL);
        return;
    default:
        run_.status.note(UZ_BAD_ENTRIES);
        break;
    }
    run_.messages.say(MessageKind::warning, "error: " + shown + " was not written: " + result.detail);
}

std::string Extraction::shown_path(const std::string& shown) const
{
    std::string path = utf8_from_ansi(run_.options.folder);
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += static_cast<char>(path_separator);
    for (const char c : shown)
        path += c == '/' ? static_cast<char>(path_separator) : c;
    return path;
}

}  // namespace unzip32
