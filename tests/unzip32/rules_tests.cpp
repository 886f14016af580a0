// The rules behind the library's safety and its name lists, checked for both platforms' rules on
// any platform.

#include "unzip32/src/listing.h"
#include "unzip32/src/safe_name.h"
#include "unzip32/src/wildcard.h"

#include <gtest/gtest.h>

#include <chrono>

namespace unzip32 {
namespace {

struct NameCase {
    const char* entry;
    const char* safe;  // nullptr: refused
    bool changed;
};

void expect_names(const NameRules& rules, std::initializer_list<NameCase> cases)
{
    for (const NameCase& name : cases) {
        const SafeName safe = make_safe_name(name.entry, rules);
        EXPECT_EQ(safe.changed(), name.changed) << name.entry;
        if (name.safe == nullptr) {
            EXPECT_NE(safe.refusal, NameRefusal::none) << name.entry;
            continue;
        }
        EXPECT_EQ(safe.refusal, NameRefusal::none) << name.entry;
        EXPECT_EQ(safe.joined(), name.safe) << name.entry;
        for (const std::string& component : safe.components)
            EXPECT_TRUE(!component.empty() && component != "." && component != "..") << name.entry;
    }
}

TEST(SafeName, RootsDrivesAndParentsAreRemovedEverywhere)
{
    for (const bool windows : {false, true}) {
        NameRules rules;
        rules.windows = windows;
        expect_names(rules, {
                                {"plain/name.txt", "plain/name.txt", false},
                                {"folder\\inner\\", "folder/inner/", false},
                                {"./a/./b", "a/b", false},
                                {"a//b", "a/b", false},
                                {"../evil.txt", "evil.txt", true},
                                {"/abs.txt", "abs.txt", true},
                                {"C:\\x.txt", "x.txt", true},
                                {"c:relative.txt", "relative.txt", true},
                                {"/C:/D:/x", "x", true},
                                {"a/../../b.txt", "a/b.txt", true},
                                {"..\\..\\up", "up", true},
                                {"//server/share/x", "server/share/x", true},
                                {"../", nullptr, true},
                                {"..", nullptr, true},
                                // A file's name must end in a file's name; a folder's need not.
                                {"", nullptr, true},
                                {".", nullptr, true},
                                {"a/.", "a", true},
                                {"a/b/", "a/b/", false},
                                {"./", nullptr, false},
                                {"a/./", "a/", false},
                            });
    }
}

TEST(SafeName, WindowsRulesRefuseDevicesAndStreamsAndRepairTheRest)
{
    NameRules windows;
    windows.windows = true;
    expect_names(windows, {
                              {"CON", nullptr, false},
                              {"nul.txt", nullptr, false},
                              {"sub/Com1.log", nullptr, false},
                              {"lpt9", nullptr, false},
                              {"COM0", nullptr, false},
                              {"lpt0.txt", nullptr, false},
                              {"a/. ", "a", true},
                              {"con .txt", nullptr, false},
                              {"CONOUT$", nullptr, false},
                              {"COM\xC2\xB9", nullptr, false},
                              {"ab:c.txt", nullptr, false},
                              {"x.txt:stream", nullptr, false},
                              {"a:b.txt", "b.txt", true},
                              {"COM10", "COM10", false},
                              {"CONSOLE.txt", "CONSOLE.txt", false},
                              {"trailing. ", "trailing", false},
                              {"a./b", "a/b", false},
                              {"what?<>|*\".txt", "what______.txt", true},
                              {"tab\there", "tab_here", true},
                              {"...", nullptr, true},
                          });
    NameRules posix;
    expect_names(posix, {{"CON", "CON", false}, {"ab:c.txt", "ab:c.txt", false}, {"a:b.txt", "b.txt", true}, {"trailing. ", "trailing. ", false},
                         {"what?.txt", "what?.txt", false}});
}

TEST(SafeName, FlatteningAndUnderscores)
{
    NameRules flat;
    flat.keep_folders = false;
    flat.spaces_to_underscores = true;
    expect_names(flat, {{"a/b/c d.txt", "c_d.txt", false}, {"../x/y.txt", "y.txt", true}});
    const SafeName folder = make_safe_name("a/b/", flat);
    EXPECT_EQ(folder.refusal, NameRefusal::empty);
    EXPECT_FALSE(folder.changed());
}

TEST(Wildcard, StarsQuestionMarksAndCase)
{
    EXPECT_TRUE(wildcard_match(U"*", U"", false));
    EXPECT_TRUE(wildcard_match(U"*", U"a/b/c", false));
    EXPECT_TRUE(wildcard_match(U"*.txt", U"a/b.txt", false));
    EXPECT_FALSE(wildcard_match(U"*.txt", U"a/b.txt.bak", false));
    EXPECT_TRUE(wildcard_match(U"a?c", U"abc", false));
    EXPECT_FALSE(wildcard_match(U"a?c", U"ac", false));
    EXPECT_TRUE(wildcard_match(U"a*b*c", U"axxbyyc", false));
    EXPECT_FALSE(wildcard_match(U"a*b*c", U"axxbyy", false));
    EXPECT_TRUE(wildcard_match(U"?", U"\u00e9", false));
    EXPECT_FALSE(wildcard_match(U"README", U"readme", false));
    EXPECT_TRUE(wildcard_match(U"README", U"readme", true));
    EXPECT_TRUE(wildcard_match(U"\u00c9T\u00c9.TXT", U"\u00e9t\u00e9.txt", true));
    EXPECT_TRUE(wildcard_match(U"\u03a9\u039c\u0395\u0393\u0391", U"\u03c9\u03bc\u03b5\u03b3\u03b1", true));
    EXPECT_TRUE(wildcard_match(U"\u0416*", U"\u0436\u0443\u043a", true));
}

TEST(Wildcard, ManyStarsStayFast)
{
    const std::u32string name(20000, U'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(wildcard_match(U"*a*a*a*a*a*a*a*a*b", name, false));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(Listing, CompressionFactorIsTheSpaceSaved)
{
    EXPECT_EQ(compression_factor(0, 0), 0u);
    EXPECT_EQ(compression_factor(100, 100), 0u);
    EXPECT_EQ(compression_factor(100, 120), 0u);
    EXPECT_EQ(compression_factor(1000, 250), 75u);
    EXPECT_EQ(compression_factor(3, 1), 67u);
    EXPECT_EQ(compression_factor(UINT64_MAX, 1), 100u);
}

}  // namespace
}  // namespace unzip32
