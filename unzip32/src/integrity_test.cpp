#include "integrity_test.h"

namespace unzip32 {

void IntegrityTest::test(const EntryInfo& entry)
{
    if (entry.is_folder)
        return;  // a folder holds no data
    std::optional<std::string> password;
    if (entry.encrypted()) {
        if (!zip_encryption_method_supported(entry.encryption, 0)) {
            run_.messages.say(MessageKind::warning, "error: " + entry.name + ": its encryption method is not supported");
            run_.status.note_unsupported();
            return;
        }
        password = run_.callbacks.ask_password(entry.name);
        if (!password) {
            run_.messages.say(MessageKind::warning, "warning: " + entry.name + " is encrypted and was skipped: no password");
            run_.status.note(UZ_WARNING);
            return;
        }
    }
    const ReadResult result = reader_.read(entry, password, [](const char*, std::size_t) { return true; });
    switch (result.outcome) {
    case ReadOutcome::complete:
        run_.messages.say(MessageKind::progress, "  tested: " + entry.name + " OK");
        run_.status.note_handled();
        return;
    case ReadOutcome::unsupported:
        run_.status.note_unsupported();
        break;
    case ReadOutcome::wrong_password:
        run_.status.note(UZ_BAD_PASSWORD);
        break;
    default:
        run_.status.note(UZ_BAD_ENTRIES);
        break;
    }
    run_.messages.say(MessageKind::warning, "error: " + entry.name + ": " + result.detail);
}

}  // namespace unzip32
