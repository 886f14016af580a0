#pragma once
// Testing the selected entries: each is read whole and checked, nothing is written.

#include "archive.h"
#include "entry_reader.h"
#include "run_context.h"

namespace unzip32 {

class IntegrityTest {
public:
    explicit IntegrityTest(const RunContext& run) : run_(run), reader_(run.archive) {}
    void test(const EntryInfo& entry);

private:
    const RunContext& run_;
    EntryReader reader_;
};

}  // namespace unzip32
