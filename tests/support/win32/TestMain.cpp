#include <objbase.h>

#include <gtest/gtest.h>

// One main for every Windows test program: COM for the apartment, as the program has it.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const HRESULT com = CoInitialize(nullptr);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}
