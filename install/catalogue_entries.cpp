#include "install/catalogue_entries.h"

#include "extract/zip_driver.h"
#include "extract/zip_state.h"

#include <utility>

namespace fennimark {

namespace {

bool is_separator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

bool equals_ignoring_ascii_case(std::wstring_view text, std::wstring_view lower_case)
{
    if (text.size() != lower_case.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i] >= L'A' && text[i] <= L'Z' ? static_cast<wchar_t>(text[i] - L'A' + L'a') : text[i];
        if (c != lower_case[i])
            return false;
    }
    return true;
}

// Puts a routine in the listing's place for as long as the object lives.
class ScopedEntryObserver {
public:
    explicit ScopedEntryObserver(std::function<void(const std::wstring&)> observer)
        : previous_(std::exchange(zip::osserva_voce, std::move(observer)))
    {
    }
    ~ScopedEntryObserver() { zip::osserva_voce = std::move(previous_); }
    ScopedEntryObserver(const ScopedEntryObserver&) = delete;
    ScopedEntryObserver& operator=(const ScopedEntryObserver&) = delete;

private:
    std::function<void(const std::wstring&)> previous_;
};

}  // namespace

bool lies_in_catalogue(std::wstring_view name)
{
    std::size_t start = 0;
    bool first = true;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !is_separator(name[end]))
            ++end;
        const std::wstring_view part = name.substr(start, end - start);
        if (first ? !equals_ignoring_ascii_case(part, L"catalogo") : part == L"..")
            return false;
        // The catalogue folder's own entry is "catalogo/"; a file named just "catalogo" is not in it.
        if (first && end == name.size())
            return false;
        first = false;
        start = end + 1;
    }
    return true;
}

std::int32_t list_catalogue_archive(const std::wstring& nome_zip, const std::wstring& cartella)
{
    std::int64_t listed = 0;
    bool all_inside = true;
    const ScopedEntryObserver observer([&](const std::wstring& name) {
        ++listed;
        all_inside = all_inside && lies_in_catalogue(name);
    });
    const std::int32_t before = zip::numero_file;
    const std::int16_t ask_before_overwriting = 1, overwrite = 1, list_only = 1, keep_folders = 1;
    const std::int32_t included = 0, excluded = 0;
    zip::estrai_archivio(nome_zip, cartella, ask_before_overwriting, overwrite, list_only, keep_folders, included,
                         excluded);
    if (zip::codice_ritorno != 0)
        return zip::codice_ritorno;
    // A name the observer never saw (its conversion failed) counts as one outside.
    if (!all_inside || static_cast<std::int64_t>(zip::numero_file) - before != listed)
        return entry_outside_catalogue_status;
    return 0;
}

}  // namespace fennimark
