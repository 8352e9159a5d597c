// doctest's main for every test program. A run in which nothing failed but
// some checks were left out (testing::ReportSkipped) ends with the code
// ctest takes for a skip.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include "TestSupport.h"

int main(int argc, char** argv)
{
    doctest::Context context(argc, argv);
    const int failed = context.run();
    if (failed == 0 && testing::ChecksWereSkipped()) {
        return testing::kSkippedExitCode;
    }
    return failed;
}
