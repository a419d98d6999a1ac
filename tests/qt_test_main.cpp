// Runs the window tests headless: a QApplication on the offscreen platform
// unless another platform was asked for.
#include <cstdlib>

#include <QApplication>
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// The toolkit and fontconfig keep caches to the end of the process; leaks in the
// program's own code show up in the pattern tests, which run without them.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}
#endif

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
