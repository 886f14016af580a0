#include "fuzz_scratch.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace unzip32_fuzz {

void fail(const std::string& what)
{
    std::fprintf(stderr, "==%d== RULE BROKEN: %s\n", static_cast<int>(getpid()), what.c_str());
    std::fflush(stderr);
    std::abort();
}

Scratch& Scratch::get()
{
    static Scratch scratch;
    return scratch;
}

Scratch::Scratch()
{
    std::string pattern = (fs::temp_directory_path() / "unzip32-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        fail("cannot make a scratch folder in " + fs::temp_directory_path().string());
    root_ = pattern;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(Scratch::get().root(), ignored);
    });
}

void Scratch::empty() const
{
    for (const auto& item : fs::directory_iterator(root_))
        fs::remove_all(item.path());
}

void Scratch::audit(const std::function<void(const fs::path& relative, bool is_link)>& visit) const
{
    for (auto item = fs::recursive_directory_iterator(root_); item != fs::recursive_directory_iterator(); ++item)
        visit(item->path().lexically_relative(root_), item->is_symlink());
}

}  // namespace unzip32_fuzz
