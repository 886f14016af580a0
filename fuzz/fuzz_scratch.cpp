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

void Scratch::empty() const
{
    for (const auto& item : fs::directory_iterator(root()))
        fs::remove_all(item.path());
}

void Scratch::audit(const std::function<void(const fs::path& relative, bool is_link)>& visit) const
{
    for (auto item = fs::recursive_directory_iterator(root()); item != fs::recursive_directory_iterator(); ++item)
        visit(item->path().lexically_relative(root()), item->is_symlink());
}

}  // namespace unzip32_fuzz
