// Runs GoogleTest inside a QApplication on the offscreen platform, unless a
// platform was chosen in the environment (to watch the windows, for one). On
// Windows, whose Qt draws text only through the system, the tests use the
// system's own platform (under Wine, on a private X server).

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
#if !defined(Q_OS_WIN)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
