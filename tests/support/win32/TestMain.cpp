#include "Ui.h"

#include <objbase.h>

#include <gtest/gtest.h>

namespace {

// Skips, before they run, the tests that this back end is known to answer otherwise.
class KnownDifferences : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override {
        const std::string name = std::string(test.test_suite_name()) + "." + test.name();
        if (const char* why = ui::KnownDifference(name))
            GTEST_MESSAGE_AT_(test.file(), test.line(), why, ::testing::TestPartResult::kSkip);
    }
};

} // namespace

// One main for every Windows test program: COM for the apartment, as the program has it.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new KnownDifferences);
    const HRESULT com = CoInitialize(nullptr);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}
